// A recorded drive's keys as the replay tool's other inputs take them: as the
// key snapshot of the telemetry's keys column, and as a key script (the
// hand-written format), which can hold a recording only when its frame times
// are constant and nothing but keys drove it from the game's start.
//
// Shortcoming: the key script keeps neither the frame time nor the car: its
// comment names both, and the replay must be given them.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "input/key_codes.h"
#include "recording/recording.h"

namespace torvane {

// The key snapshot of a recorded frame's keys (RecordedFrame::keys), indexed by key code.
std::bitset<kKeyCount> keysOfRows(std::uint64_t rows);

// The recording as a key script, with a comment naming its frame time and its
// car; or, when it cannot be one, nothing and why in refusal. freshStart is the
// state the game starts a drive from, with the recording's car.
std::optional<std::string> recordingKeyScript(const Recording& recording, const Keyframe& freshStart,
                                              std::string& refusal);

} // namespace torvane
