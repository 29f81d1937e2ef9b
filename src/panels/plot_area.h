// PlotArea: the painting of one small chart of a panel into a ChartImage:
// its title in the top left corner, a value range mapped onto the image's
// pixels, the zero lines, and the lines, dots, circles and labels the panels
// draw in it. Everything, texts included, goes into the image: a chart costs
// the GPU one opaque textured rectangle.
//
// Shortcoming: no tick marks; a chart names its range in its title instead,
// and the title is drawn over whatever the chart holds under it.
#pragma once

#include <cstddef>

#include <imgui.h>

#include "panels/chart_image.h"

namespace torvane {

class PlotArea {
public:
    // Clears image, draws the zero lines and title (in titleColour and font),
    // for x in [xLow, xHigh] left to right and y in [yLow, yHigh] bottom to top.
    PlotArea(ChartImage& image, const ImFont& font, const char* title, ImU32 titleColour, float xLow, float xHigh,
             float yLow, float yHigh);

    // The pixel of (x, y), kept within the image.
    ImVec2 at(float x, float y) const;
    void line(ImVec2 from, ImVec2 to, ImU32 colour, int thickness = 1) const;
    void dot(ImVec2 centre, float radius, ImU32 colour) const;
    void cross(ImVec2 centre, float halfSize, ImU32 colour) const;
    // text in the chart's bottom left corner.
    void label(const char* text, ImU32 colour) const;
    // A circle of radius in x units around the value origin.
    void circle(float radius, ImU32 colour) const;

private:
    ChartImage& pixels;
    const ImFont& font;
    float xLow, xHigh, yLow, yHigh;
    float xScale, yScale;  // pixels per unit
};

} // namespace torvane
