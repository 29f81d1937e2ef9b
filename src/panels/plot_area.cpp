#include "panels/plot_area.h"

#include <algorithm>

namespace torvane {
namespace {

constexpr ImU32 kBackground = IM_COL32(20, 20, 24, 255);
constexpr ImU32 kAxis = IM_COL32(110, 110, 120, 255);
const ImVec2 kTextInset{3.0f, 1.0f};

} // namespace

PlotArea::PlotArea(ChartImage& image, const ImFont& textFont, const char* title, ImU32 titleColour, float xLowValue,
                   float xHighValue, float yLowValue, float yHighValue)
    : pixels(image), font(textFont), xLow(xLowValue), xHigh(xHighValue), yLow(yLowValue), yHigh(yHighValue),
      xScale(xHigh > xLow ? static_cast<float>(image.width() - 1) / (xHigh - xLow) : 0.0f),
      yScale(yHigh > yLow ? static_cast<float>(image.height() - 1) / (yHigh - yLow) : 0.0f)
{
    pixels.fill(kBackground);
    if (xLow < 0.0f && xHigh > 0.0f) {
        line(at(0.0f, yLow), at(0.0f, yHigh), kAxis);
    }
    if (yLow < 0.0f && yHigh > 0.0f) {
        line(at(xLow, 0.0f), at(xHigh, 0.0f), kAxis);
    }
    pixels.text(font, kTextInset, titleColour, title);
}

ImVec2 PlotArea::at(float x, float y) const
{
    const float right = static_cast<float>(pixels.width() - 1);
    const float bottom = static_cast<float>(pixels.height() - 1);
    // An empty range puts every value in the middle.
    const float across = xScale > 0.0f ? std::clamp((x - xLow) * xScale, 0.0f, right) : 0.5f * right;
    const float up = yScale > 0.0f ? std::clamp((y - yLow) * yScale, 0.0f, bottom) : 0.5f * bottom;
    return ImVec2(across, bottom - up);
}

void PlotArea::line(ImVec2 from, ImVec2 to, ImU32 colour, int thickness) const
{
    pixels.line(from, to, colour, thickness);
}

void PlotArea::dot(ImVec2 centre, float radius, ImU32 colour) const
{
    pixels.disc(centre, radius, colour);
}

void PlotArea::cross(ImVec2 centre, float halfSize, ImU32 colour) const
{
    line(ImVec2(centre.x - halfSize, centre.y - halfSize), ImVec2(centre.x + halfSize, centre.y + halfSize), colour);
    line(ImVec2(centre.x - halfSize, centre.y + halfSize), ImVec2(centre.x + halfSize, centre.y - halfSize), colour);
}

void PlotArea::label(const char* text, ImU32 colour) const
{
    const float top = static_cast<float>(pixels.height()) - font.FontSize - kTextInset.y;
    pixels.text(font, ImVec2(kTextInset.x, top), colour, text);
}

void PlotArea::circle(float radius, ImU32 colour) const
{
    const float pixelsAcross = radius / (xHigh - xLow) * static_cast<float>(pixels.width() - 1);
    pixels.ring(at(0.0f, 0.0f), pixelsAcross, colour);
}

} // namespace torvane
