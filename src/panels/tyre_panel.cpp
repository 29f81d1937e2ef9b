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
const ImVec2 kCurveSize{104.0f, 70.0f};
const ImVec2 kGgSize{140.0f, 140.0f};
const ImVec2 kStripSize{210.0f, 56.0f};
constexpr std::size_t kStripStep = 2;  // samples per point of a strip chart's line
// Share of grip from which a tyre counts as saturated: the friction circle
// scales a force down to the limit, which rounding leaves a hair below 1.
constexpr float kSaturatedShare = 0.999f;
constexpr float kPlotMargin = 1.1f;  // room above the grip limit

const char* const kWheelNames[kWheelCount] = {"Roue 1 av.", "Roue 2 av.", "Roue 3 ar.", "Roue 4 ar."};

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
            drawWheel(wheel);
        }
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

void TyrePanel::drawWheel(int wheel)
{
    const WheelCurves& shown = curves[wheel];
    const WheelOperatingPoint& now = shown.now;
    const float range = now.gripLimit * kPlotMargin;
    const ImU32 state = now.gripUsed >= kSaturatedShare ? kSaturated : kWithinGrip;
    char share[16];

    ImGui::BeginGroup();
    const PlotArea circle(kWheelNames[wheel], kCircleSize, -range, range, -range, range);
    std::snprintf(share, sizeof share, "%.0f %%", static_cast<double>(now.gripUsed * 100.0f));
    circle.label(share, state);
    circle.circle(now.gripLimit, kGripColour);
    circle.line(circle.at(0.0f, 0.0f), circle.at(now.lateralForce, now.longitudinalForce), state, 2.0f);
    circle.dot(circle.at(now.lateralForce, now.longitudinalForce), 3.0f, state);
    ImGui::EndGroup();

    ImGui::SameLine();
    ImGui::BeginGroup();
    const PlotArea lateral("Fy / dérive", kCurveSize, -kSlipAngleSpan, kSlipAngleSpan, -range, range);
    drawCurve(lateral, shown.lateral, kCurveColour);
    lateral.dot(lateral.at(now.slipAngle, now.lateralOnCurve), 3.5f, kWheelColours[wheel]);
    lateral.cross(lateral.at(now.slipAngle, now.lateralForce), 3.0f, state);
    ImGui::EndGroup();

    ImGui::SameLine();
    ImGui::BeginGroup();
    const PlotArea longitudinal("Fx / glissement", kCurveSize, -kSlipRatioSpan, kSlipRatioSpan, -range, range);
    drawCurve(longitudinal, shown.longitudinal, kCurveColour);
    longitudinal.dot(longitudinal.at(now.slipRatio, now.longitudinalOnCurve), 3.5f, kWheelColours[wheel]);
    longitudinal.cross(longitudinal.at(now.slipRatio, now.longitudinalForce), 3.0f, state);
    ImGui::EndGroup();
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
    for (std::size_t index = 1; index < trail.size(); ++index) {
        // Older samples fade out: alpha from near 0 to full along the trail.
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
