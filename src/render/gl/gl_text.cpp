#include "render/gl/gl_text.h"

#include "render/gl/program_binary_cache.h"
#include "core/message_sink.h"

#include <SDL_opengl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <string>

namespace torvane {
namespace {

constexpr int kAtlasSize = 512;
constexpr int kMaxGlyphsPerDraw = 2048;
constexpr int kFloatsPerVertex = 8;
constexpr int kFloatsPerGlyph = 6 * kFloatsPerVertex;

constexpr const char* kTextVertexShader = R"(#version 330 core
layout(location = 0) in vec2 inPixel;
layout(location = 1) in vec2 inTexCoord;
layout(location = 2) in vec4 inColour;
uniform vec2 viewport;
out vec2 texCoord;
out vec4 colour;
void main()
{
    gl_Position = vec4(inPixel.x / viewport.x * 2.0 - 1.0, 1.0 - inPixel.y / viewport.y * 2.0, 0.0, 1.0);
    texCoord = inTexCoord;
    colour = inColour;
}
)";

constexpr const char* kTextFragmentShader = R"(#version 330 core
in vec2 texCoord;
in vec4 colour;
uniform sampler2D atlas;
out vec4 fragColour;
void main()
{
    fragColour = vec4(colour.rgb, colour.a * texture(atlas, texCoord).r);
}
)";

// Sizes face so that a character cell (ascender plus descender) is pixelHeight
// high, the way a font's height is given on Windows.
bool requestCellHeight(FT_Face face, int pixelHeight)
{
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = static_cast<FT_Long>(pixelHeight) * 64;
    return FT_Request_Size(face, &request) == 0;
}

// fontconfig's answer for "sans-serif": the file, or empty.
std::string lookUpDefaultSansFontFile()
{
    std::string file;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        return file;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return file;
}

} // namespace

std::string defaultSansFontFile()
{
    // fontconfig reads its whole configuration for each lookup (milliseconds at
    // start-up), and the overlay and the panels both ask.
    static const std::string file = lookUpDefaultSansFontFile();
    return file;
}

std::unique_ptr<GlText> GlText::create(int pixelHeight, const std::string& programCacheFolder)
{
    const std::string fontFile = defaultSansFontFile();
    if (fontFile.empty()) {
        diagnose("overlay font: fontconfig found no sans-serif face");
        return nullptr;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        diagnose("overlay font: FreeType did not start");
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0 ||
        !requestCellHeight(face, pixelHeight)) {
        diagnose("overlay font: cannot load the face " + fontFile);
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
        return nullptr;
    }

    std::unique_ptr<GlText> text(new GlText);
    // One row is one character cell: ascender plus descender, without extra gap.
    text->lineHeight = static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
    text->ascender = static_cast<int>(face->size->metrics.ascender >> 6);

    // Pack the glyphs row by row into one single-channel atlas.
    std::vector<std::uint8_t> pixels(std::size_t{kAtlasSize} * kAtlasSize, 0);
    int penX = 1;
    int penY = 1;
    int rowTallest = 0;
    for (int i = 0; i < kGlyphCount; ++i) {
        const int codePoint = i < kAsciiGlyphs ? 0x20 + i : 0xA0 + (i - kAsciiGlyphs);
        if (FT_Load_Char(face, static_cast<FT_ULong>(codePoint), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        const int width = static_cast<int>(slot->bitmap.width);
        const int height = static_cast<int>(slot->bitmap.rows);
        if (penX + width + 1 > kAtlasSize) {
            penX = 1;
            penY += rowTallest + 1;
            rowTallest = 0;
        }
        if (penY + height + 1 > kAtlasSize) {
            break; // the atlas is full: the remaining glyphs draw as blanks
        }
        for (int row = 0; row < height; ++row) {
            std::copy_n(slot->bitmap.buffer + std::ptrdiff_t{row} * slot->bitmap.pitch, width,
                        pixels.begin() + std::ptrdiff_t{penY + row} * kAtlasSize + penX);
        }
        Glyph& glyph = text->glyphs[i];
        glyph.u0 = static_cast<float>(penX) / kAtlasSize;
        glyph.v0 = static_cast<float>(penY) / kAtlasSize;
        glyph.u1 = static_cast<float>(penX + width) / kAtlasSize;
        glyph.v1 = static_cast<float>(penY + height) / kAtlasSize;
        glyph.width = width;
        glyph.height = height;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.advance = static_cast<int>(slot->advance.x >> 6);
        penX += width + 1;
        rowTallest = std::max(rowTallest, height);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    text->program = buildCachedGlProgram(kTextVertexShader, kTextFragmentShader, "GlText", programCacheFolder);
    if (text->program == 0) {
        return nullptr;
    }
    text->viewportUniform = glGetUniformLocation(text->program, "viewport");

    glGenTextures(1, &text->atlas);
    glBindTexture(GL_TEXTURE_2D, text->atlas);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, kAtlasSize, kAtlasSize, 0, GL_RED, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    glGenVertexArrays(1, &text->vertexArray);
    glGenBuffers(1, &text->vertexBuffer);
    glBindVertexArray(text->vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, text->vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, std::size_t{kMaxGlyphsPerDraw} * kFloatsPerGlyph * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    constexpr GLsizei stride = kFloatsPerVertex * sizeof(float);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(4 * sizeof(float)));
    glBindVertexArray(0);
    text->vertices.reserve(std::size_t{kMaxGlyphsPerDraw} * kFloatsPerGlyph);
    return text;
}

GlText::~GlText()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteTextures(1, &atlas);
    glDeleteProgram(program);
}

const GlText::Glyph* GlText::nextGlyph(const char*& c) const
{
    const auto lead = static_cast<unsigned char>(*c++);
    if (lead >= 0x20 && lead <= 0x7E) {
        return &glyphs[lead - 0x20];
    }
    // U+0080..U+00FF are two bytes in UTF-8: 0xC2 or 0xC3, then 10xxxxxx.
    const auto next = static_cast<unsigned char>(*c);
    if ((lead == 0xC2 || lead == 0xC3) && (next & 0xC0) == 0x80) {
        ++c;
        const int codePoint = ((lead & 0x03) << 6) | (next & 0x3F);
        return codePoint >= 0xA0 ? &glyphs[kAsciiGlyphs + codePoint - 0xA0] : nullptr;
    }
    return nullptr;
}

int GlText::rowWidth(const char* row) const
{
    int width = 0;
    for (const char* c = row; *c != '\0' && *c != '\n';) {
        if (const Glyph* glyph = nextGlyph(c)) {
            width += glyph->advance;
        }
    }
    return width;
}

void GlText::appendRow(const char* row, float penX, float baselineY, const float (&rgba)[4])
{
    for (const char* c = row; *c != '\0' && *c != '\n';) {
        const Glyph* glyph = nextGlyph(c);
        if (glyph == nullptr) {
            continue;
        }
        if (glyph->width > 0 && vertices.size() + kFloatsPerGlyph <= vertices.capacity()) {
            const float x0 = penX + static_cast<float>(glyph->left);
            const float y0 = baselineY - static_cast<float>(glyph->top);
            const float x1 = x0 + static_cast<float>(glyph->width);
            const float y1 = y0 + static_cast<float>(glyph->height);
            const float corners[6][4] = {{x0, y0, glyph->u0, glyph->v0}, {x1, y0, glyph->u1, glyph->v0},
                                         {x1, y1, glyph->u1, glyph->v1}, {x0, y0, glyph->u0, glyph->v0},
                                         {x1, y1, glyph->u1, glyph->v1}, {x0, y1, glyph->u0, glyph->v1}};
            for (const auto& corner : corners) {
                vertices.insert(vertices.end(), std::begin(corner), std::end(corner));
                vertices.insert(vertices.end(), std::begin(rgba), std::end(rgba));
            }
        }
        penX += static_cast<float>(glyph->advance);
    }
}

void GlText::queue(const char* text, TextRect rect, std::uint32_t format, std::uint32_t colour)
{
    const float rgba[4] = {static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                           static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                           static_cast<float>(colour & 0xFF) / 255.0f,
                           static_cast<float>((colour >> 24) & 0xFF) / 255.0f};
    int rows = 1;
    for (const char* c = text; *c != '\0'; ++c) {
        rows += *c == '\n' ? 1 : 0;
    }
    float top = static_cast<float>(rect.top);
    if ((format & kTextBottom) != 0) {
        top = static_cast<float>(rect.bottom - rows * lineHeight);
    }

    const char* row = text;
    for (int index = 0; index < rows; ++index) {
        float left = static_cast<float>(rect.left);
        if ((format & kTextRight) != 0) {
            left = static_cast<float>(rect.right - rowWidth(row));
        }
        appendRow(row, left, top + static_cast<float>(index * lineHeight + ascender), rgba);
        while (*row != '\0' && *row != '\n') {
            ++row;
        }
        row += *row == '\n' ? 1 : 0;
    }
}

void GlText::flush(int backBufferWidth, int backBufferHeight)
{
    if (vertices.empty()) {
        return;
    }

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glUseProgram(program);
    glUniform2f(viewportUniform, static_cast<float>(backBufferWidth), static_cast<float>(backBufferHeight));
    glBindTexture(GL_TEXTURE_2D, atlas);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size() / kFloatsPerVertex));
    vertices.clear();
    glDisable(GL_BLEND);
}

} // namespace torvane
