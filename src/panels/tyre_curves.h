// TyreCurves: a wheel's two tyre curves sampled from the car's own tyre model
// (Car::lateralTyreForce, longitudinalTyreForce and gripLimit) at the wheel's
// load, and where the wheel works on them now.
//
// Shortcoming: the car gives every wheel the same static load today (no load
// transfer), so the four wheels' curves are one and the same.
#pragma once

#include <array>
#include <cstddef>

#include "car/car.h"

namespace torvane {

inline constexpr std::size_t kCurveSamples = 61;
// The spans the curves are drawn over: slip angle in degrees, slip ratio unitless.
inline constexpr float kSlipAngleSpan = 30.0f;   // -30° .. 30°
inline constexpr float kSlipRatioSpan = 1.0f;    // -1 .. 1

// One curve: force (N) at evenly spaced slips from -span to +span.
struct TyreCurve {
    float span = 0.0f;
    std::array<float, kCurveSamples> force{};

    // The slip of sample index.
    float slipAt(std::size_t index) const;
};

struct WheelOperatingPoint {
    float slipAngle = 0.0f;      // degrees
    float slipRatio = 0.0f;
    float lateralForce = 0.0f;   // N, as the wheel gives it now (the front wheels' in the body's frame)
    float longitudinalForce = 0.0f;
    float lateralOnCurve = 0.0f;       // N, the lateral curve at slipAngle
    float longitudinalOnCurve = 0.0f;  // N, the longitudinal curve at slipRatio
    float load = 0.0f;           // N, the tyre's vertical load the curves are drawn at
    float gripLimit = 0.0f;      // N, the friction circle's radius
    float gripUsed = 0.0f;       // |force| / gripLimit: 1 and above is saturated
};

struct WheelCurves {
    TyreCurve lateral;       // against slip angle
    TyreCurve longitudinal;  // against slip ratio
    WheelOperatingPoint now;
};

// Samples car's two curves at load (N) into out's curves.
void sampleTyreCurves(const Car& car, float load, WheelCurves& out);
// Reads where wheel (0..3) works now.
void readOperatingPoint(const Car& car, int wheel, WheelOperatingPoint& now);

} // namespace torvane
