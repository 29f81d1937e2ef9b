// TyrePanel: the window "Pneus" over the picture: for each wheel the friction
// circle with the tyre's force and the share of its grip in use (red once
// saturated); the lateral force against slip angle and the longitudinal force
// against slip ratio from the car's own tyre model, one curve per distinct
// wheel load, with every wheel's operating point in the wheel's colour; a g-g diagram of the body's accelerations with a fading
// trail; strip charts of the last five seconds of slip angles, slip ratios and
// wheel speeds. Draws with Dear ImGui alone; nothing is allocated per frame.
//
// Shortcoming: the charts hold what was recorded while the panel was shown;
// wheels working at the same point share a dot on the curves (the later
// wheel's colour on top), as the two front wheels do when driving straight.
#pragma once

#include <array>

#include <imgui.h>

#include "car/car.h"
#include "panels/tyre_curves.h"
#include "panels/tyre_history.h"

namespace torvane {

class PlotArea;
struct CurveAxis;

class TyrePanel {
public:
    // Records car's values of this frame, then draws the window.
    void draw(const Car& car);
    // Empties the charts.
    void forget() { history.clear(); }
    // The curves and operating points the last draw showed.
    const WheelCurves& shownCurves(int wheel) const { return curves[wheel]; }

private:
    // The wheel's friction circle with its force and share of grip.
    void drawFrictionCircle(int wheel);
    // One chart of axis's curve per distinct wheel load, with every wheel's operating point.
    void drawTyreCurves(const CurveAxis& axis);
    // Whether a wheel before wheel has the same load, so the same curves.
    bool sameCurvesAsAnEarlierWheel(int wheel) const;
    void drawGgDiagram();
    // A chart of one ring per wheel, titled title.
    void drawStrip(const char* title, const SampleRing<float, kHistoryFrames> (&rings)[kWheelCount]);
    // A curve's samples as points of plot.
    void drawCurve(const PlotArea& plot, const TyreCurve& curve, ImU32 colour);

    TyreHistory history;
    WheelCurves curves[kWheelCount];
    std::array<ImVec2, kHistoryFrames> points{};  // one line's pixels, reused
};

} // namespace torvane
