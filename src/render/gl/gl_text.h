// GlText: the overlay font on OpenGL: the system's default sans face (found
// with fontconfig) rasterised once by FreeType into a glyph atlas. Texts are
// queued as textured quads in back-buffer pixels and drawn together when the
// scene ends, blended over the finished picture, so that nothing drawn later
// in the frame covers them.
//
// Texts are UTF-8. Shortcomings: printable ASCII and Latin-1 (U+00A0 to U+00FF,
// the accents of French) only; other characters draw nothing; no kerning;
// texts beyond the queue's capacity (2048 glyphs a frame) are cut there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/graphics_device.h"

namespace torvane {

// The file of the system's default sans-serif face, or "" when fontconfig finds none.
std::string defaultSansFontFile();

class GlText {
public:
    // nullptr (after naming the failure on stderr) when no face can be loaded.
    // pixelHeight is the height of one character cell, as a font height is given on Windows.
    static std::unique_ptr<GlText> create(int pixelHeight, const std::string& programCacheFolder = {});
    ~GlText();

    // Queues text, aligned within rect, for the next flush.
    void queue(const char* text, TextRect rect, std::uint32_t format, std::uint32_t colour);
    // Draws the queued texts over a back buffer of the given size and empties the
    // queue. Leaves the depth test and face culling off, and its own program,
    // texture (unit 0) and vertex array bound: the caller restores its own.
    void flush(int backBufferWidth, int backBufferHeight);

    // The height of one row of text, in pixels.
    int rowHeight() const { return lineHeight; }
    // The width of one row (up to a "\n" or the end), in pixels.
    int rowWidth(const char* row) const;

    GlText(const GlText&) = delete;
    GlText& operator=(const GlText&) = delete;

private:
    struct Glyph {
        float u0, v0, u1, v1; // atlas coordinates
        int width, height;    // bitmap size, pixels
        int left, top;        // bearing from the pen position on the baseline
        int advance;          // pixels
    };
    // Printable ASCII (U+0020..U+007E), then Latin-1 (U+00A0..U+00FF).
    static constexpr int kAsciiGlyphs = 95;
    static constexpr int kGlyphCount = kAsciiGlyphs + 96;

    GlText() = default;
    // The glyph of the character starting at c, which moves past it; nullptr when not drawn.
    const Glyph* nextGlyph(const char*& c) const;
    void appendRow(const char* row, float penX, float baselineY, const float (&rgba)[4]);

    Glyph glyphs[kGlyphCount] = {};
    int lineHeight = 0;
    int ascender = 0;
    unsigned atlas = 0;
    unsigned program = 0;
    unsigned vertexArray = 0;
    unsigned vertexBuffer = 0;
    int viewportUniform = -1;
    std::vector<float> vertices; // x, y, u, v, r, g, b, a per vertex; capacity reserved once
};

} // namespace torvane
