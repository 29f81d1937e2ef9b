// TyreHistory: the last seconds of a car's tyres and body for the tyre panel:
// each wheel's slip angle (degrees), slip ratio and wheel speed (rad/s), and the
// body's acceleration in its own frame (u/s²), one sample per recorded frame,
// in fixed rings.
//
// Shortcoming: samples are per frame, not per second: at a frame rate other
// than 60 the charts span another time.
#pragma once

#include <cstddef>

#include "car/car.h"
#include "panels/sample_ring.h"

namespace torvane {

// Five seconds at 60 frames a second.
inline constexpr std::size_t kHistoryFrames = 300;
// The g-g diagram's trail: two seconds.
inline constexpr std::size_t kTrailFrames = 120;

// The body's acceleration along its forward axis and its side axis (cos h, 0, -sin h), in u/s².
struct BodyAcceleration {
    float forward = 0.0f;
    float side = 0.0f;
};

// car's acceleration in its own frame.
BodyAcceleration bodyAcceleration(const Car& car);

struct TyreHistory {
    SampleRing<float, kHistoryFrames> slipAngle[kWheelCount];
    SampleRing<float, kHistoryFrames> slipRatio[kWheelCount];
    SampleRing<float, kHistoryFrames> wheelSpeed[kWheelCount];
    SampleRing<BodyAcceleration, kTrailFrames> trail;

    // Adds car's values of this frame.
    void record(const Car& car);
    void clear();
};

} // namespace torvane
