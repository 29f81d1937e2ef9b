// ChartImage: the pixels of one small chart, drawn on the CPU and shown as one
// textured rectangle. A software rasteriser pays for every thin triangle of
// a plotted line far more than for the pixels it covers; a chart's hundreds of
// short segments cost almost nothing drawn here and one quad on the GPU.
// Pixels are ImGui colours (IM_COL32: red in the low byte, so RGBA bytes in
// memory), rows from the top; coordinates are pixels from the top left corner.
//
// Shortcomings: lines and circles have no anti-aliasing (texts keep the font's);
// lines are one or a few pixels wide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <imgui.h>

namespace torvane {

class ChartImage {
public:
    // Allocates width × height pixels, once.
    ChartImage(int width, int height);

    int width() const { return columns; }
    int height() const { return rows; }
    ImVec2 size() const { return ImVec2(static_cast<float>(columns), static_cast<float>(rows)); }
    const ImU32* pixels() const { return data.data(); }
    // Counts the drawing calls so far: a texture holding the pixels of an
    // earlier count needs them again.
    std::uint64_t revision() const { return drawings; }
    // The pixel at (x, y), which must lie inside.
    ImU32 at(int x, int y) const;

    void fill(ImU32 colour);
    // A line from from to to, thickness pixels wide, clipped to the image.
    void line(ImVec2 from, ImVec2 to, ImU32 colour, int thickness = 1);
    // A filled disc.
    void disc(ImVec2 centre, float radius, ImU32 colour);
    // A circle's outline, one pixel wide.
    void ring(ImVec2 centre, float radius, ImU32 colour);
    // UTF-8 text in font with its top left at topLeft, clipped to the image;
    // nothing when font's atlas holds no alpha pixels (not built yet).
    void text(const ImFont& font, ImVec2 topLeft, ImU32 colour, const char* utf8);

private:
    bool inside(int x, int y) const { return x >= 0 && x < columns && y >= 0 && y < rows; }
    std::size_t offsetOf(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(x);
    }
    // Paints (x, y) when inside; a colour's alpha below 255 mixes it over the pixel.
    void plot(int x, int y, ImU32 colour);
    // glyph of atlas at the pen position pen, in colour.
    void drawGlyph(const ImFontGlyph& glyph, const ImFontAtlas& atlas, ImVec2 pen, ImU32 colour);
    // thickness × thickness pixels from (x, y) right and down.
    void square(int x, int y, int thickness, ImU32 colour);

    int columns;
    int rows;
    std::vector<ImU32> data;
    std::uint64_t drawings = 0;
};

} // namespace torvane
