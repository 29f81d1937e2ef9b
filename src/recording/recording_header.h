// RecordingHeader: what a recording says before its frames: the format and
// program versions, the identity of the level data it was driven on, the car
// file's text and the state the drive started from, and when it started.
//
// The game's settings are not part of the identity: the pads' deadzone and
// curve are recorded already applied, and no other setting acts on the
// simulation. The car file is carried whole, so a replay drives the very car
// of the recording whatever the data folder's car file has become since.
#pragma once

#include <cstdint>
#include <string>

#include "recording/keyframe.h"

namespace torvane {

// The recording format this program writes and reads. Older or newer formats are refused.
inline constexpr std::uint32_t kRecordingFormatVersion = 1;
// Frames between two state hashes, and between two keyframes.
inline constexpr std::uint32_t kStateHashEvery = 10;
inline constexpr std::uint32_t kKeyframeEvery = 600;

struct RecordingHeader {
    std::uint32_t formatVersion = kRecordingFormatVersion;
    std::string programVersion;  // "1.0.0"; at most kMaxProgramVersionBytes
    std::uint64_t levelHash = 0; // levelDataHash of the data folder it was driven on
    std::int64_t startTime = 0;  // Unix time of the drive's start, seconds (UTC)
    std::uint32_t stateHashEvery = kStateHashEvery;
    std::uint32_t keyframeEvery = kKeyframeEvery;
    std::string carText; // the car file the drive started with; empty: the built-in car
    Keyframe start;      // the state before frame 1
};

} // namespace torvane
