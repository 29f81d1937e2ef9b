// TyrePanel: the window "Pneus" over the picture: for each wheel the friction
// circle with the tyre's force and the share of its grip in use (red once
// saturated); the lateral force against slip angle and the longitudinal force
// against slip ratio from the car's own tyre model, one curve per distinct
// wheel load, with every wheel's operating point in the wheel's colour; a g-g
// diagram of the body's accelerations with a fading trail; strip charts of the
// last five seconds of slip angles, slip ratios and wheel speeds.
//
// The charts, texts included, are painted on the CPU into ChartImages, every
// other frame (the history is recorded every frame), and ImGui only lays the
// images out: the panel costs the GPU one textured draw. Nothing is allocated
// per frame.
//
// Shortcomings: the charts hold what was recorded while the panel was shown
// and move 30 times a second at 60 frames a second; wheels working at the
// same point share a dot on the curves (the later wheel's colour on top), as
// the two front wheels do when driving straight.
#pragma once

#include <imgui.h>

#include "car/car.h"
#include "panels/chart_image.h"
#include "panels/chart_textures.h"
#include "panels/tyre_curves.h"
#include "panels/tyre_history.h"

namespace torvane {

class PlotArea;
struct CurveAxis;

class TyrePanel {
public:
    // Charts become textures through textures, which must outlive the panel.
    explicit TyrePanel(ChartTextures& textures);

    // Records car's values of this frame, paints the charts when due, then
    // lays the window out in the current ImGui frame.
    void draw(const Car& car);
    // Empties the charts; the next draw paints them.
    void forget();
    // The curves and operating points the charts were last painted with.
    const WheelCurves& shownCurves(int wheel) const { return curves[wheel]; }

private:
    // Paints every chart from car and the history, in font.
    void paintCharts(const Car& car, const ImFont& font);
    // The wheel's friction circle with its force and share of grip.
    void paintFrictionCircle(int wheel, const ImFont& font);
    // axis's curve for each distinct wheel load, with every wheel's operating point.
    void paintTyreCurves(const CurveAxis& axis, ChartImage& image, const ImFont& font);
    void paintGgDiagram(const ImFont& font);
    // A chart of one ring per wheel, titled title.
    void paintStrip(const char* title, const SampleRing<float, kHistoryFrames> (&rings)[kWheelCount],
                    ChartImage& image, const ImFont& font);
    // The first wheel before wheel with the same load, so the same curves; -1 if none.
    int earlierWheelOfTheSameLoad(int wheel) const;
    // The window: the charts in two columns.
    void layOut();
    // image at the layout cursor.
    void show(const ChartImage& image);

    ChartTextures& textures;
    TyreHistory history;
    WheelCurves curves[kWheelCount];
    unsigned framesToPaint = 0;  // frames until the next painting
    ChartImage frictionCircles[kWheelCount];
    ChartImage lateralCurves;
    ChartImage longitudinalCurves;
    ChartImage ggDiagram;
    ChartImage slipAngleStrip;
    ChartImage slipRatioStrip;
    ChartImage wheelSpeedStrip;
};

} // namespace torvane
