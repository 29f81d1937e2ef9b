#include "panels/chart_image.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <imgui_internal.h>

namespace torvane {
namespace {

// Rounds half away from zero, as std::lround does, without a library call:
// a chart rounds a few thousand points a frame.
int nearestPixel(float value)
{
    const int truncated = static_cast<int>(value);
    const float rest = value - static_cast<float>(truncated);
    return truncated + (rest >= 0.5f ? 1 : 0) - (rest <= -0.5f ? 1 : 0);
}

// colour over background by colour's alpha; the result is opaque.
ImU32 over(ImU32 colour, ImU32 background)
{
    const ImU32 alpha = (colour >> IM_COL32_A_SHIFT) & 0xFF;
    ImU32 mixed = IM_COL32_A_MASK;
    for (const int shift : {IM_COL32_R_SHIFT, IM_COL32_G_SHIFT, IM_COL32_B_SHIFT}) {
        const ImU32 top = (colour >> shift) & 0xFF;
        const ImU32 bottom = (background >> shift) & 0xFF;
        mixed |= ((top * alpha + bottom * (255 - alpha) + 127) / 255) << shift;
    }
    return mixed;
}

} // namespace

ChartImage::ChartImage(int width, int height)
    : columns(width), rows(height), data(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
{
    assert(width > 0 && height > 0);
}

ImU32 ChartImage::at(int x, int y) const
{
    assert(x >= 0 && x < columns && y >= 0 && y < rows);
    return data[offsetOf(x, y)];
}

void ChartImage::fill(ImU32 colour)
{
    ++drawings;
    std::fill(data.begin(), data.end(), colour);
}

void ChartImage::plot(int x, int y, ImU32 colour)
{
    if (!inside(x, y)) {
        return;
    }
    ImU32& pixel = data[offsetOf(x, y)];
    pixel = (colour & IM_COL32_A_MASK) == IM_COL32_A_MASK ? colour : over(colour, pixel);
}

void ChartImage::square(int x, int y, int thickness, ImU32 colour)
{
    for (int down = 0; down < thickness; ++down) {
        for (int right = 0; right < thickness; ++right) {
            plot(x + right, y + down, colour);
        }
    }
}

// Bresenham's line between the nearest pixels of the two ends. An opaque
// one-pixel line within the image, the usual case, writes its pixels straight.
void ChartImage::line(ImVec2 from, ImVec2 to, ImU32 colour, int thickness)
{
    ++drawings;
    int x = nearestPixel(from.x);
    int y = nearestPixel(from.y);
    const int endX = nearestPixel(to.x);
    const int endY = nearestPixel(to.y);
    const bool direct = thickness == 1 && (colour & IM_COL32_A_MASK) == IM_COL32_A_MASK && inside(x, y) &&
                        inside(endX, endY);
    const int spanX = std::abs(endX - x);
    const int spanY = -std::abs(endY - y);
    const int stepX = x < endX ? 1 : -1;
    const int stepY = y < endY ? 1 : -1;
    const int offset = (thickness - 1) / 2;
    int error = spanX + spanY;
    while (true) {
        if (direct) {
            data[offsetOf(x, y)] = colour;
        } else {
            square(x - offset, y - offset, thickness, colour);
        }
        if (x == endX && y == endY) {
            return;
        }
        const int twice = 2 * error;
        if (twice >= spanY) {
            error += spanY;
            x += stepX;
        }
        if (twice <= spanX) {
            error += spanX;
            y += stepY;
        }
    }
}

void ChartImage::disc(ImVec2 centre, float radius, ImU32 colour)
{
    ++drawings;
    const int top = nearestPixel(centre.y - radius);
    const int bottom = nearestPixel(centre.y + radius);
    for (int y = top; y <= bottom; ++y) {
        const float rise = static_cast<float>(y) - centre.y;
        const float half = std::sqrt(std::max(0.0f, radius * radius - rise * rise));
        for (int x = nearestPixel(centre.x - half); x <= nearestPixel(centre.x + half); ++x) {
            plot(x, y, colour);
        }
    }
}

// The midpoint circle: one pixel per step along each eighth of the outline.
void ChartImage::ring(ImVec2 centre, float radius, ImU32 colour)
{
    ++drawings;
    const int centreX = nearestPixel(centre.x);
    const int centreY = nearestPixel(centre.y);
    int x = nearestPixel(radius);
    int y = 0;
    int error = 1 - x;
    while (x >= y) {
        for (const int sign : {1, -1}) {
            plot(centreX + sign * x, centreY + y, colour);
            plot(centreX + sign * x, centreY - y, colour);
            plot(centreX + sign * y, centreY + x, colour);
            plot(centreX + sign * y, centreY - x, colour);
        }
        ++y;
        if (error < 0) {
            error += 2 * y + 1;
        } else {
            --x;
            error += 2 * (y - x) + 1;
        }
    }
}

// A glyph's box on the image, each pixel's coverage the mean of the atlas
// texels under it: fonts are often baked wider than shown (oversampled) for
// a GPU's filtering to narrow them.
void ChartImage::drawGlyph(const ImFontGlyph& glyph, const ImFontAtlas& atlas, ImVec2 pen, ImU32 colour)
{
    const int left = nearestPixel(pen.x + glyph.X0);
    const int top = nearestPixel(pen.y + glyph.Y0);
    const int width = nearestPixel(glyph.X1 - glyph.X0);
    const int height = nearestPixel(glyph.Y1 - glyph.Y0);
    const float atlasLeft = glyph.U0 * static_cast<float>(atlas.TexWidth);
    const float atlasTop = glyph.V0 * static_cast<float>(atlas.TexHeight);
    const float texelsAcross = (glyph.U1 - glyph.U0) * static_cast<float>(atlas.TexWidth) / static_cast<float>(width);
    const float texelsDown = (glyph.V1 - glyph.V0) * static_cast<float>(atlas.TexHeight) / static_cast<float>(height);
    const ImU32 alpha = (colour >> IM_COL32_A_SHIFT) & 0xFF;
    const ImU32 opaque = colour & ~IM_COL32_A_MASK;
    for (int y = 0; y < height; ++y) {
        const int firstRow = static_cast<int>(atlasTop + static_cast<float>(y) * texelsDown);
        const int endRow = std::max(firstRow + 1, static_cast<int>(atlasTop + static_cast<float>(y + 1) * texelsDown));
        for (int x = 0; x < width; ++x) {
            const int firstColumn = static_cast<int>(atlasLeft + static_cast<float>(x) * texelsAcross);
            const int endColumn =
                std::max(firstColumn + 1, static_cast<int>(atlasLeft + static_cast<float>(x + 1) * texelsAcross));
            ImU32 coverage = 0;
            for (int row = firstRow; row < endRow; ++row) {
                for (int column = firstColumn; column < endColumn; ++column) {
                    coverage += atlas.TexPixelsAlpha8[row * atlas.TexWidth + column];
                }
            }
            coverage /= static_cast<ImU32>((endRow - firstRow) * (endColumn - firstColumn));
            if (coverage != 0) {
                plot(left + x, top + y, opaque | (((alpha * coverage + 127) / 255) << IM_COL32_A_SHIFT));
            }
        }
    }
}

// Each glyph in turn, the pen moving on by its advance.
void ChartImage::text(const ImFont& font, ImVec2 topLeft, ImU32 colour, const char* utf8)
{
    ++drawings;
    if (font.ContainerAtlas == nullptr || font.ContainerAtlas->TexPixelsAlpha8 == nullptr) {
        return; // the atlas was not built, or its pixels were let go
    }
    const ImFontAtlas& atlas = *font.ContainerAtlas;
    float penX = topLeft.x;
    const char* const end = utf8 + std::strlen(utf8);
    for (const char* at = utf8; at < end;) {
        unsigned int codepoint = 0;
        at += ImTextCharFromUtf8(&codepoint, at, end);
        const ImFontGlyph* glyph = font.FindGlyph(static_cast<ImWchar>(codepoint));
        if (glyph == nullptr) {
            continue;
        }
        if (glyph->Visible) {
            drawGlyph(*glyph, atlas, ImVec2(penX, topLeft.y), colour);
        }
        penX += glyph->AdvanceX;
    }
}

} // namespace torvane
