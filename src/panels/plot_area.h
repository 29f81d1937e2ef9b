// PlotArea: a small chart drawn straight into the current ImGui window's draw
// list: a titled rectangle of the layout mapping a value range onto its pixels,
// with the zero lines, and the lines, dots and circles the panels draw in it.
//
// Shortcoming: no tick marks; a chart names its range in its title instead.
#pragma once

#include <cstddef>

#include <imgui.h>

namespace torvane {

// Sets how the opaque dark cards under the charts are painted: painter, when
// not null, is a draw callback that fills its command's clip rectangle with
// the colour its data points to (an ImVec4 of 0..1 channels); without one the
// cards are filled rectangles in the draw list.
void setCardPainter(ImDrawCallback painter);

class PlotArea {
public:
    // Takes size pixels at the layout cursor under title, for x in
    // [xLow, xHigh] left to right and y in [yLow, yHigh] bottom to top.
    PlotArea(const char* title, ImVec2 size, float xLow, float xHigh, float yLow, float yHigh);

    // The pixel of (x, y), kept within the rectangle.
    ImVec2 at(float x, float y) const;
    // A line through count points.
    void polyline(const ImVec2* points, std::size_t count, ImU32 colour) const;
    void line(ImVec2 from, ImVec2 to, ImU32 colour, float thickness = 1.0f) const;
    void dot(ImVec2 centre, float radius, ImU32 colour) const;
    void cross(ImVec2 centre, float halfSize, ImU32 colour) const;
    // text in the chart's top left corner.
    void label(const char* text, ImU32 colour) const;
    // A circle of radius in x units around the value origin.
    void circle(float radius, ImU32 colour) const;

private:
    ImDrawList* drawList;
    ImVec2 low;   // top left pixel
    ImVec2 high;  // bottom right pixel
    float xLow, xHigh, yLow, yHigh;
};

} // namespace torvane
