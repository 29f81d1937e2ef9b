// Keyframe: the whole state a drive's next frames depend on: the car's motion
// state, and the input memory that decides whether a held key or button is a
// new press (the previous frame's driving keys and pad buttons, how long the
// pad's Start has been held), the pause and the camera's mode. A recording
// starts from one and keeps one every so many frames, so a replay can start
// from any of them.
//
// Shortcoming: the camera's own smoothing state is not kept (it never acts on
// the car): a replay started from a keyframe may frame its first pictures
// differently.
#pragma once

#include <cstdint>

#include "car/car_state.h"
#include "input/pad_input.h"

namespace torvane {

struct Keyframe {
    CarState car;
    std::uint64_t previousKeys = 0; // the driving keys the previous frame acted on (RecordedFrame::keys)
    PadHold pads;
    bool paused = false;
    std::int32_t cameraMode = 0;
};

} // namespace torvane
