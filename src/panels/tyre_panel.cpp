#include "panels/tyre_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "panels/plot_area.h"

namespace torvane {
namespace {

constexpr ImU32 kWheelColours[kWheelCount] = {IM_COL32(255, 150, 40, 255), IM_COL32(255, 230, 60, 255),
                                              IM_COL32(70, 200, 255, 255), IM_COL32(230, 110, 255, 255)};
constexpr ImU32 kTitleColour = IM_COL32(230, 230, 235, 255);
constexpr ImU32 kCurveColour = IM_COL32(200, 200, 210, 255);
constexpr ImU32 kGripColour = IM_COL32(150, 150, 160, 255);
constexpr ImU32 kWithinGrip = IM_COL32(80, 220, 100, 255);
constexpr ImU32 kSaturated = IM_COL32(255, 60, 50, 255);
// Chart sizes in pixels: small, as every pixel of a chart costs a software
// rasteriser about as much as a pixel of the city behind it.
constexpr int kCircleSide = 60;
constexpr int kCurveWidth = 124;
constexpr int kCurveHeight = 68;
constexpr int kGgSide = 100;
constexpr int kStripWidth = 172;
constexpr int kStripHeight = 44;
const ImVec2 kChartSpacing{4.0f, 4.0f};
constexpr std::size_t kStripStep = 2;  // samples per point of a strip chart's line
// Frames per painting of the charts: 30 a second at 60 frames a second is
// live to the eye, and painting is most of the panel's cost.
constexpr unsigned kFramesPerPainting = 2;
// Share of grip from which a tyre counts as saturated: the friction circle
// scales a force down to the limit, which rounding leaves a hair below 1.
constexpr float kSaturatedShare = 0.999f;
constexpr float kPlotMargin = 1.1f;  // room above the grip limit

const char* const kWheelNames[kWheelCount] = {"1 av.", "2 av.", "3 ar.", "4 ar."};

} // namespace

// One of the two tyre curves and the operating point's values along it.
struct CurveAxis {
    const char* title;
    float span;
    TyreCurve WheelCurves::*curve;
    float WheelOperatingPoint::*slip;
    float WheelOperatingPoint::*onCurve;
    float WheelOperatingPoint::*force;
};

namespace {

constexpr CurveAxis kLateral{"Fy / dérive", kSlipAngleSpan, &WheelCurves::lateral, &WheelOperatingPoint::slipAngle,
                             &WheelOperatingPoint::lateralOnCurve, &WheelOperatingPoint::lateralForce};
constexpr CurveAxis kLongitudinal{"Fx / glissement", kSlipRatioSpan, &WheelCurves::longitudinal,
                                  &WheelOperatingPoint::slipRatio, &WheelOperatingPoint::longitudinalOnCurve,
                                  &WheelOperatingPoint::longitudinalForce};

// Green within the grip, red once saturated.
ImU32 gripColour(const WheelOperatingPoint& now)
{
    return now.gripUsed >= kSaturatedShare ? kSaturated : kWithinGrip;
}

// The smallest of 1, 2, 5 × 10ⁿ not below value, so a chart's scale does not flicker.
float roundedUp(float value)
{
    const float decade = std::pow(10.0f, std::floor(std::log10(value)));
    for (const float step : {1.0f, 2.0f, 5.0f}) {
        if (step * decade >= value) {
            return step * decade;
        }
    }
    return 10.0f * decade;
}

} // namespace

TyrePanel::TyrePanel(ChartTextures& chartTextures)
    : textures(chartTextures),
      frictionCircles{ChartImage(kCircleSide, kCircleSide), ChartImage(kCircleSide, kCircleSide),
                      ChartImage(kCircleSide, kCircleSide), ChartImage(kCircleSide, kCircleSide)},
      lateralCurves(kCurveWidth, kCurveHeight),
      longitudinalCurves(kCurveWidth, kCurveHeight),
      ggDiagram(kGgSide, kGgSide),
      slipAngleStrip(kStripWidth, kStripHeight),
      slipRatioStrip(kStripWidth, kStripHeight),
      wheelSpeedStrip(kStripWidth, kStripHeight)
{
}

void TyrePanel::forget()
{
    history.clear();
    framesToPaint = 0;
}

void TyrePanel::draw(const Car& car)
{
    history.record(car);
    if (framesToPaint == 0) {
        paintCharts(car, *ImGui::GetFont());
        framesToPaint = kFramesPerPainting;
    }
    --framesToPaint;
    layOut();
}

void TyrePanel::paintCharts(const Car& car, const ImFont& font)
{
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        readOperatingPoint(car, wheel, curves[wheel].now);
    }
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        const int earlier = earlierWheelOfTheSameLoad(wheel);
        if (earlier < 0) {
            sampleTyreCurves(car, curves[wheel].now.load, curves[wheel]);
        } else {
            curves[wheel].lateral = curves[earlier].lateral;
            curves[wheel].longitudinal = curves[earlier].longitudinal;
        }
    }
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        paintFrictionCircle(wheel, font);
    }
    paintTyreCurves(kLateral, lateralCurves, font);
    paintTyreCurves(kLongitudinal, longitudinalCurves, font);
    paintGgDiagram(font);
    paintStrip("Dérive (°)", history.slipAngle, slipAngleStrip, font);
    paintStrip("Glissement", history.slipRatio, slipRatioStrip, font);
    paintStrip("Vit. roues (rad/s)", history.wheelSpeed, wheelSpeedStrip, font);
}

void TyrePanel::layOut()
{
    // In the bottom right corner, clear of the car and of the debug overlay;
    // dragged by any chart.
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(display.x - 4.0f, display.y - 4.0f), ImGuiCond_FirstUseEver, ImVec2(1.0f, 1.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, kChartSpacing);
    constexpr ImGuiWindowFlags kFlags =
        ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoTitleBar;
    if (ImGui::Begin("Pneus (F9)", nullptr, kFlags)) {
        textures.opaqueRun(*ImGui::GetWindowDrawList(), true);
        ImGui::BeginGroup();
        for (int wheel = 0; wheel < kWheelCount; ++wheel) {
            if (wheel % 2 == 1) {
                ImGui::SameLine();
            }
            show(frictionCircles[wheel]);
        }
        show(lateralCurves);
        show(longitudinalCurves);
        ImGui::EndGroup();
        ImGui::SameLine();
        ImGui::BeginGroup();
        show(ggDiagram);
        show(slipAngleStrip);
        show(slipRatioStrip);
        show(wheelSpeedStrip);
        ImGui::EndGroup();
        textures.opaqueRun(*ImGui::GetWindowDrawList(), false);
    }
    ImGui::End();
    ImGui::PopStyleVar();
}

void TyrePanel::show(const ChartImage& image)
{
    const ChartTexture shown = textures.texture(image);
    ImGui::Image(shown.texture, image.size(), shown.topLeft, shown.bottomRight);
}

namespace {

// curve's samples joined by lines on plot.
void paintCurve(const PlotArea& plot, const TyreCurve& curve, ImU32 colour)
{
    ImVec2 previous = plot.at(curve.slipAt(0), curve.force[0]);
    for (std::size_t index = 1; index < kCurveSamples; ++index) {
        const ImVec2 next = plot.at(curve.slipAt(index), curve.force[index]);
        plot.line(previous, next, colour);
        previous = next;
    }
}

} // namespace

void TyrePanel::paintFrictionCircle(int wheel, const ImFont& font)
{
    const WheelOperatingPoint& now = curves[wheel].now;
    const float range = now.gripLimit * kPlotMargin;
    char share[16];
    // The wheel's name in its colour: its points on the curves below.
    const PlotArea circle(frictionCircles[wheel], font, kWheelNames[wheel], kWheelColours[wheel], -range, range,
                          -range, range);
    std::snprintf(share, sizeof share, "%.0f %%", static_cast<double>(now.gripUsed * 100.0f));
    circle.label(share, gripColour(now));
    circle.circle(now.gripLimit, kGripColour);
    circle.line(circle.at(0.0f, 0.0f), circle.at(now.lateralForce, now.longitudinalForce), gripColour(now), 2);
    circle.dot(circle.at(now.lateralForce, now.longitudinalForce), 2.5f, gripColour(now));
}

int TyrePanel::earlierWheelOfTheSameLoad(int wheel) const
{
    for (int earlier = 0; earlier < wheel; ++earlier) {
        if (curves[earlier].now.load == curves[wheel].now.load) {
            return earlier;
        }
    }
    return -1;
}

void TyrePanel::paintTyreCurves(const CurveAxis& axis, ChartImage& image, const ImFont& font)
{
    float range = 0.0f;
    for (const WheelCurves& shown : curves) {
        range = std::max(range, shown.now.gripLimit * kPlotMargin);
    }
    const PlotArea plot(image, font, axis.title, kTitleColour, -axis.span, axis.span, -range, range);
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        if (earlierWheelOfTheSameLoad(wheel) < 0) {
            paintCurve(plot, curves[wheel].*axis.curve, kCurveColour);
        }
    }
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        const WheelOperatingPoint& now = curves[wheel].now;
        plot.dot(plot.at(now.*axis.slip, now.*axis.onCurve), 3.5f, kWheelColours[wheel]);
        plot.cross(plot.at(now.*axis.slip, now.*axis.force), 3.0f, gripColour(now));
    }
}

void TyrePanel::paintGgDiagram(const ImFont& font)
{
    const SampleRing<BodyAcceleration, kTrailFrames>& trail = history.trail;
    float largest = 1.0f;
    for (std::size_t index = 0; index < trail.size(); ++index) {
        largest = std::max({largest, std::abs(trail.at(index).forward), std::abs(trail.at(index).side)});
    }
    const float range = roundedUp(largest);
    char title[48];
    std::snprintf(title, sizeof title, "g-g ±%g u/s²", static_cast<double>(range));
    const PlotArea plot(ggDiagram, font, title, kTitleColour, -range, range, -range, range);
    // Oldest first, so newer segments lie on top; older ones fade into the
    // background: alpha from near 0 to full along the trail.
    for (std::size_t index = 1; index < trail.size(); ++index) {
        const float age = static_cast<float>(index) / static_cast<float>(trail.size());
        const ImU32 colour = IM_COL32(90, 200, 255, static_cast<int>(255.0f * age));
        plot.line(plot.at(trail.at(index - 1).side, trail.at(index - 1).forward),
                  plot.at(trail.at(index).side, trail.at(index).forward), colour);
    }
    if (trail.size() > 0) {
        const BodyAcceleration last = trail.at(trail.size() - 1);
        plot.dot(plot.at(last.side, last.forward), 3.5f, IM_COL32(255, 255, 255, 255));
    }
}

void TyrePanel::paintStrip(const char* title, const SampleRing<float, kHistoryFrames> (&rings)[kWheelCount],
                           ChartImage& image, const ImFont& font)
{
    float lowest = 0.0f;
    float highest = 0.0f;
    for (const auto& ring : rings) {
        for (std::size_t index = 0; index < ring.size(); ++index) {
            lowest = std::min(lowest, ring.at(index));
            highest = std::max(highest, ring.at(index));
        }
    }
    const float range = roundedUp(std::max({-lowest, highest, 1e-3f}));
    char label[64];
    std::snprintf(label, sizeof label, "%s  ±%g", title, static_cast<double>(range));
    const PlotArea plot(image, font, label, kTitleColour, 0.0f, static_cast<float>(kHistoryFrames - 1),
                        lowest < 0.0f ? -range : 0.0f, range);
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        const auto& ring = rings[wheel];
        // The newest sample at the right edge.
        const std::size_t first = kHistoryFrames - ring.size();
        // Every kStripStep-th sample, ending on the newest: the chart has fewer
        // pixels across than samples.
        const std::size_t start = (ring.size() + kStripStep - 1) % kStripStep;
        if (ring.size() <= start) {
            continue;
        }
        ImVec2 previous = plot.at(static_cast<float>(first + start), ring.at(start));
        for (std::size_t index = start + kStripStep; index < ring.size(); index += kStripStep) {
            const ImVec2 next = plot.at(static_cast<float>(first + index), ring.at(index));
            plot.line(previous, next, kWheelColours[wheel]);
            previous = next;
        }
    }
}

} // namespace torvane
