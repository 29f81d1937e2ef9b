// RecordedFrame: one frame of a drive as the simulation consumed it: the frame
// time runFrame stepped by, the driving keys down in the key snapshot, the
// pads' shaped values and buttons, and what the main loop did to the game
// outside the keys before the frame (a pause on focus loss, a car file
// reloaded). Replaying the same frames from the same start reproduces the
// drive bit for bit.
//
// Shortcoming: keys outside the driving table are not kept (they do nothing).
#pragma once

#include <cstdint>

#include "input/driving_keys.h"
#include "input/pad_input.h"

namespace torvane {

static_assert(kDrivingKeys.size() <= 64, "the driving keys are kept as a 64-bit mask");

// What the main loop did to the game before a frame, besides the keys and pads.
enum RecordedEvent : std::uint8_t {
    kEventFocusPause = 1u << 0,  // the window lost the focus and the game was paused
    kEventCarReloaded = 1u << 1, // the car file was saved and the car took its new text
    kEventSimulationSkipped = 1u << 2, // the scene could not begin (a minimised window): keys read, car not stepped
};

struct RecordedFrame {
    float frameTime = 0.0f;  // seconds, as passed to runFrame (after the cap)
    std::uint64_t keys = 0;  // bit i: row i of kDrivingKeys down in the snapshot
    PadFrame pads;           // as applied, after the deadzone and the curve
    std::uint8_t events = 0; // RecordedEvent bits

    bool operator==(const RecordedFrame&) const = default;
};

} // namespace torvane
