// Recording: a recorded drive read back whole: its header, every frame, the
// state hashes and keyframes kept along it and the car texts it reloaded.
// readRecording checks everything before it trusts it: sizes are bounded
// before anything is allocated, every chunk's CRC-32 is checked, and a file
// cut short (a crash, a kill, a full disk) or damaged part way gives the frames
// up to its last sound chunk with a note of where and why it stops. A header
// that cannot be trusted (not a recording, another format version, damaged)
// refuses the whole file.
//
// Shortcoming: the whole recording is held in memory (about 40 bytes a frame;
// at most kMaxRecordedFrames frames).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_contents.h"
#include "recording/recorded_frame.h"
#include "recording/recording_header.h"

namespace torvane {

// The largest recording file read, and the most frames one may hold (19 hours at 60 frames a second).
inline constexpr std::size_t kMaxRecordingBytes = std::size_t{256} << 20;
inline constexpr std::uint32_t kMaxRecordedFrames = std::uint32_t{1} << 22;

// The state hash after a frame.
struct StateCheck {
    std::uint32_t frame = 0; // from 1
    std::uint64_t hash = 0;  // carStateHash
};

// The whole state after a frame.
struct FrameKeyframe {
    std::uint32_t frame = 0; // from 1
    Keyframe state;
};

// The car file text the car took before a frame.
struct CarReload {
    std::uint32_t frame = 0; // from 1
    std::string text;
};

struct Recording {
    RecordingHeader header;
    std::vector<RecordedFrame> frames;    // frames[i] is frame i + 1
    std::vector<StateCheck> stateChecks;  // in frame order
    std::vector<FrameKeyframe> keyframes; // in frame order
    std::vector<CarReload> carReloads;    // in frame order
    bool complete = false;                // the writer finished it; otherwise stopNote says where it stops
    std::string stopNote;                 // "cut short after frame 1234 (byte 56789)", with why; empty when complete

    // The car text in force for frame (from 1): the last reload at or before it, else the header's.
    const std::string& carTextFor(std::uint32_t frame) const;
    // The text the car took just before frame, or nullptr when it reloaded nothing then.
    const std::string* carReloadAt(std::uint32_t frame) const;
    // The last keyframe at or before frame (from 1), or nullptr when none is (start from the header's).
    const FrameKeyframe* keyframeAtOrBefore(std::uint32_t frame) const;
};

// A recording, or why it was refused (error names the file and where).
struct RecordingRead {
    std::optional<Recording> recording;
    std::string error;
    FileFault fault = FileFault::NoFault; // when refused: the file's fault, or Damaged / UnsupportedFormat for its bytes
};

// Reads the recording at path (at most kMaxRecordingBytes). Recordings are
// shared between players: a symbolic link, a pipe or a device is refused.
RecordingRead readRecording(const std::string& path);
// Reads a recording from its bytes; name is the file's, for the messages.
RecordingRead parseRecording(std::string_view bytes, std::string_view name);

} // namespace torvane
