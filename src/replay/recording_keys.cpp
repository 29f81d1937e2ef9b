#include "replay/recording_keys.h"

#include <cstdio>
#include <vector>

#include "core/content_hash.h"
#include "input/key_script.h"

namespace torvane {
namespace {

// Why recording cannot be written as a key script; empty when it can.
std::string keyScriptRefusal(const Recording& recording, const Keyframe& freshStart)
{
    const std::vector<RecordedFrame>& frames = recording.frames;
    for (const RecordedFrame& frame : frames) {
        if (frame.frameTime != frames.front().frameTime) {
            return "its frame times vary (a key script replays at one --dt)";
        }
        if (frame.pads != PadFrame{}) {
            return "it holds pad input";
        }
        if (frame.events != 0) {
            return "the window lost the focus or the car file was reloaded during it";
        }
    }
    const Keyframe& start = recording.header.start;
    if (carStateHash(start.car) != carStateHash(freshStart.car) || start.previousKeys != 0 || start.paused
        || start.pads != PadHold{} || start.cameraMode != freshStart.cameraMode) {
        return "it does not start from the game's start (it was taken over from another drive)";
    }
    return {};
}

} // namespace

std::bitset<kKeyCount> keysOfRows(std::uint64_t rows)
{
    std::bitset<kKeyCount> keys;
    for (std::size_t row = 0; row < kDrivingKeys.size(); ++row) {
        if ((rows >> row & 1u) != 0) {
            keys.set(kDrivingKeys[row].code);
        }
    }
    return keys;
}

std::optional<std::string> recordingKeyScript(const Recording& recording, const Keyframe& freshStart,
                                              std::string& refusal)
{
    refusal = keyScriptRefusal(recording, freshStart);
    if (!refusal.empty()) {
        return std::nullopt;
    }
    std::vector<std::uint64_t> keys;
    keys.reserve(recording.frames.size());
    for (const RecordedFrame& frame : recording.frames) {
        keys.push_back(frame.keys);
    }
    char seconds[32] = "1/60";
    if (!recording.frames.empty()) {
        std::snprintf(seconds, sizeof seconds, "%.9g", recording.frames.front().frameTime);
    }
    return keyScriptOfFrames(keys, "Recorded drive of " + std::to_string(keys.size()) + " frames; replay it with --dt "
                                       + seconds + " and the recorded car ("
                                       + contentHashText(contentHash(recording.header.carText)) + ")");
}

} // namespace torvane
