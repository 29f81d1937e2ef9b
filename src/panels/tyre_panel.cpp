#include "panels/tyre_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "panels/plot_area.h"

namespace torvane {
namespace {

constexpr ImU32 kWheelColours[kWheelCount] = {IM_COL32(255, 150, 40, 255), IM_COL32(255, 230, 60, 255),
                                              IM_COL32(70, 200, 255, 255), IM_COL32(230, 110, 255, 255)};
constexpr ImU32 kCurveColour = IM_COL32(200, 200, 210, 255);
constexpr ImU32 kGripColour = IM_COL32(150, 150, 160, 255);
constexpr ImU32 kWithinGrip = IM_COL32(80, 220, 100, 255);
constexpr ImU32 kSaturated = IM_COL32(255, 60, 50, 255);
const ImVec2 kCircleSize{70.0f, 70.0f};
const ImVec2 kCurveSize{156.0f, 84.0f};
const ImVec2 kGgSize{140.0f, 140.0f};
const ImVec2 kStripSize{210.0f, 56.0f};
constexpr std::size_t kStripStep = 4;  // samples per point of a strip chart's line
constexpr std::size_t kTrailStep = 2;  // samples per segment of the g-g trail
// Share of grip from which a tyre counts as saturated: the friction circle
// scales a force down to the limit, which rounding leaves a hair below 1.
constexpr float kSaturatedShare = 0.999f;
constexpr float kPlotMargin = 1.1f;  // room above the grip limit

const char* const kWheelNames[kWheelCount] = {"Roue 1 av.", "Roue 2 av.", "Roue 3 ar.", "Roue 4 ar."};

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

void TyrePanel::draw(const Car& car)
{
    history.record(car);
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        sampleWheelCurves(car, wheel, curves[wheel]);
    }
    // Right of the debug overlay's columns and below its rows.
    ImGui::SetNextWindowPos(ImVec2(262.0f, 124.0f), ImGuiCond_FirstUseEver);
    if (ImGui::Begin("Pneus (F9)", nullptr, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoBackground)) {
        ImGui::BeginGroup();
        for (int wheel = 0; wheel < kWheelCount; ++wheel) {
            if (wheel % 2 == 1) {
                ImGui::SameLine();
            }
            drawFrictionCircle(wheel);
        }
        drawTyreCurves(kLateral);
        drawTyreCurves(kLongitudinal);
        ImGui::EndGroup();
        ImGui::SameLine();
        ImGui::BeginGroup();
        drawGgDiagram();
        drawStrip("Dérive (°)", history.slipAngle);
        drawStrip("Glissement", history.slipRatio);
        drawStrip("Vitesse des roues (rad/s)", history.wheelSpeed);
        ImGui::EndGroup();
    }
    ImGui::End();
}

void TyrePanel::drawCurve(const PlotArea& plot, const TyreCurve& curve, ImU32 colour)
{
    for (std::size_t index = 0; index < kCurveSamples; ++index) {
        points[index] = plot.at(curve.slipAt(index), curve.force[index]);
    }
    plot.polyline(points.data(), kCurveSamples, colour);
}

void TyrePanel::drawFrictionCircle(int wheel)
{
    const WheelOperatingPoint& now = curves[wheel].now;
    const float range = now.gripLimit * kPlotMargin;
    char share[16];
    ImGui::BeginGroup();
    // The wheel's name in its colour: its points on the curves below.
    ImGui::PushStyleColor(ImGuiCol_Text, kWheelColours[wheel]);
    const PlotArea circle(kWheelNames[wheel], kCircleSize, -range, range, -range, range);
    ImGui::PopStyleColor();
    std::snprintf(share, sizeof share, "%.0f %%", static_cast<double>(now.gripUsed * 100.0f));
    circle.label(share, gripColour(now));
    circle.circle(now.gripLimit, kGripColour);
    circle.line(circle.at(0.0f, 0.0f), circle.at(now.lateralForce, now.longitudinalForce), gripColour(now), 2.0f);
    circle.dot(circle.at(now.lateralForce, now.longitudinalForce), 3.0f, gripColour(now));
    ImGui::EndGroup();
}

bool TyrePanel::sameCurvesAsAnEarlierWheel(int wheel) const
{
    for (int earlier = 0; earlier < wheel; ++earlier) {
        if (curves[earlier].now.load == curves[wheel].now.load) {
            return true;
        }
    }
    return false;
}

void TyrePanel::drawTyreCurves(const CurveAxis& axis)
{
    float range = 0.0f;
    for (const WheelCurves& shown : curves) {
        range = std::max(range, shown.now.gripLimit * kPlotMargin);
    }
    const PlotArea plot(axis.title, kCurveSize, -axis.span, axis.span, -range, range);
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        if (!sameCurvesAsAnEarlierWheel(wheel)) {
            drawCurve(plot, curves[wheel].*axis.curve, kCurveColour);
        }
    }
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        const WheelOperatingPoint& now = curves[wheel].now;
        plot.dot(plot.at(now.*axis.slip, now.*axis.onCurve), 3.5f, kWheelColours[wheel]);
        plot.cross(plot.at(now.*axis.slip, now.*axis.force), 3.0f, gripColour(now));
    }
}

void TyrePanel::drawGgDiagram()
{
    const SampleRing<BodyAcceleration, kTrailFrames>& trail = history.trail;
    float largest = 1.0f;
    for (std::size_t index = 0; index < trail.size(); ++index) {
        largest = std::max({largest, std::abs(trail.at(index).forward), std::abs(trail.at(index).side)});
    }
    const float range = roundedUp(largest);
    char title[48];
    std::snprintf(title, sizeof title, "g-g (±%g u/s²)", static_cast<double>(range));
    const PlotArea plot(title, kGgSize, -range, range, -range, range);
    // Back from the newest sample, every kTrailStep-th; older samples fade
    // out: alpha from near 0 to full along the trail.
    for (std::size_t index = trail.size() - 1; trail.size() > kTrailStep && index >= kTrailStep; index -= kTrailStep) {
        const float age = static_cast<float>(index) / static_cast<float>(trail.size());
        const ImU32 colour = IM_COL32(90, 200, 255, static_cast<int>(255.0f * age));
        plot.line(plot.at(trail.at(index - kTrailStep).side, trail.at(index - kTrailStep).forward),
                  plot.at(trail.at(index).side, trail.at(index).forward), colour);
    }
    if (trail.size() > 0) {
        const BodyAcceleration last = trail.at(trail.size() - 1);
        plot.dot(plot.at(last.side, last.forward), 3.5f, IM_COL32(255, 255, 255, 255));
    }
}

void TyrePanel::drawStrip(const char* title, const SampleRing<float, kHistoryFrames> (&rings)[kWheelCount])
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
    const PlotArea plot(label, kStripSize, 0.0f, static_cast<float>(kHistoryFrames - 1),
                        lowest < 0.0f ? -range : 0.0f, range);
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        const auto& ring = rings[wheel];
        // The newest sample at the right edge.
        // Every other sample: under two pixels apart, and half the vertices.
        const std::size_t first = kHistoryFrames - ring.size();
        std::size_t count = 0;
        for (std::size_t index = ring.size() % kStripStep; index < ring.size(); index += kStripStep) {
            points[count++] = plot.at(static_cast<float>(first + index), ring.at(index));
        }
        plot.polyline(points.data(), count, kWheelColours[wheel]);
    }
}

} // namespace torvane
