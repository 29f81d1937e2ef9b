#include "panels/plot_area.h"

#include <algorithm>

namespace torvane {
namespace {

// The cards are opaque: a painter may fill them without blending.
const ImVec4 kCardColour{20.0f / 255.0f, 20.0f / 255.0f, 24.0f / 255.0f, 1.0f};
constexpr ImU32 kAxis = IM_COL32(110, 110, 120, 255);
// Sides of the polygons standing for circles: under a third of a pixel from
// the true circle at the panel's sizes, and each side costs the rasteriser.
constexpr int kCircleSides = 24;
constexpr int kDotSides = 8;

// The fraction of the way value is from low to high, within 0..1.
float fraction(float value, float lowValue, float highValue)
{
    const float span = highValue - lowValue;
    return span > 0.0f ? std::clamp((value - lowValue) / span, 0.0f, 1.0f) : 0.5f;
}

ImDrawCallback cardPainter = nullptr;

} // namespace

void setCardPainter(ImDrawCallback painter)
{
    cardPainter = painter;
}

PlotArea::PlotArea(const char* title, ImVec2 size, float xLowValue, float xHighValue, float yLowValue,
                   float yHighValue)
    : drawList(ImGui::GetWindowDrawList()), xLow(xLowValue), xHigh(xHighValue), yLow(yLowValue), yHigh(yHighValue)
{
    // One dark card under the title and the chart: the window itself has no
    // background, so the picture shows between the charts and costs nothing there.
    const ImVec2 top = ImGui::GetCursorScreenPos();
    const float titleHeight = ImGui::GetTextLineHeightWithSpacing();
    const float width = std::max(size.x, ImGui::CalcTextSize(title).x);
    const ImVec2 bottomRight(top.x + width, top.y + titleHeight + size.y);
    if (cardPainter != nullptr) {
        drawList->PushClipRect(top, bottomRight, true);
        drawList->AddCallback(cardPainter, const_cast<ImVec4*>(&kCardColour));
        drawList->PopClipRect();
    } else {
        drawList->AddRectFilled(top, bottomRight, ImGui::ColorConvertFloat4ToU32(kCardColour));
    }
    ImGui::TextUnformatted(title);
    low = ImGui::GetCursorScreenPos();
    high = ImVec2(low.x + size.x, low.y + size.y);
    ImGui::Dummy(size);
    if (xLow < 0.0f && xHigh > 0.0f) {
        line(at(0.0f, yLow), at(0.0f, yHigh), kAxis);
    }
    if (yLow < 0.0f && yHigh > 0.0f) {
        line(at(xLow, 0.0f), at(xHigh, 0.0f), kAxis);
    }
}

ImVec2 PlotArea::at(float x, float y) const
{
    return ImVec2(low.x + fraction(x, xLow, xHigh) * (high.x - low.x),
                  high.y - fraction(y, yLow, yHigh) * (high.y - low.y));
}

void PlotArea::polyline(const ImVec2* points, std::size_t count, ImU32 colour) const
{
    drawList->AddPolyline(points, static_cast<int>(count), colour, ImDrawFlags_None, 1.0f);
}

void PlotArea::line(ImVec2 from, ImVec2 to, ImU32 colour, float thickness) const
{
    drawList->AddLine(from, to, colour, thickness);
}

void PlotArea::dot(ImVec2 centre, float radius, ImU32 colour) const
{
    drawList->AddCircleFilled(centre, radius, colour, kDotSides);
}

void PlotArea::cross(ImVec2 centre, float halfSize, ImU32 colour) const
{
    line(ImVec2(centre.x - halfSize, centre.y - halfSize), ImVec2(centre.x + halfSize, centre.y + halfSize), colour);
    line(ImVec2(centre.x - halfSize, centre.y + halfSize), ImVec2(centre.x + halfSize, centre.y - halfSize), colour);
}

void PlotArea::label(const char* text, ImU32 colour) const
{
    drawList->AddText(ImVec2(low.x + 2.0f, low.y + 1.0f), colour, text);
}

void PlotArea::circle(float radius, ImU32 colour) const
{
    const ImVec2 centre = at(0.0f, 0.0f);
    const float pixels = radius / (xHigh - xLow) * (high.x - low.x);
    drawList->AddCircle(centre, pixels, colour, kCircleSides);
}

} // namespace torvane
