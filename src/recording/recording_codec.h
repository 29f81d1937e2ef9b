// The recording file's layout, shared by the writer and the reader.
//
//   file    = "TORVREC" 0x1A, u32 format version, u32 header size, u32 header CRC-32,
//             header, chunk*, end mark
//   header  = u16 n, n bytes program version; u64 level hash; i64 start time;
//             u32 state hash every; u32 keyframe every; u8 k, k driving key codes
//             (bit i of a frame's keys is key code i: DrivingKeyRows); u32 n, n bytes car text; keyframe
//   chunk   = "TVCK", u32 first frame, u32 frame count, u32 raw size, u32 packed size,
//             u32 CRC-32 (of the five fields before it and the packed bytes),
//             packed bytes (zlib) of frame count frame records
//   frame   = u8 flags (RecordedEvent bits, kHasPads, kHasHash, kHasKeyframe),
//             f32 frame time, u64 keys, [f32 steering, f32 accelerator, f32 brake,
//             u32 buttons], [u32 n, n bytes car text], [u64 state hash], [keyframe]
//   keyframe= the CarState fields in visit order (f32, or u8 for the bools),
//             u64 previous keys, u32 previous pad buttons, f32 Start held, u8 paused,
//             u32 camera mode
//   end     = "TVND", u32 frame count, u32 why it ended (RecordingEnd), u32 CRC-32 of the three
// All numbers little-endian; floats as their bit patterns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "recording/byte_codec.h"
#include "recording/driving_key_rows.h"
#include "recording/recorded_frame.h"
#include "recording/recording_header.h"

namespace torvane {

inline constexpr std::string_view kRecordingMagic{"TORVREC\x1A", 8};
inline constexpr std::uint32_t kChunkMagic = 0x4B435654; // "TVCK"
inline constexpr std::uint32_t kEndMagic = 0x444E5654;   // "TVND"

// Bounds the reader checks before it allocates anything.
inline constexpr std::uint32_t kMaxHeaderBytes = 64 * 1024;
inline constexpr std::size_t kMaxProgramVersionBytes = 64;
inline constexpr std::size_t kMaxRecordedCarTextBytes = std::size_t{16} * 1024; // the car file's own limit
inline constexpr std::uint32_t kMaxChunkFrames = 8192;
inline constexpr std::uint32_t kMaxChunkRawBytes = 8u << 20;
inline constexpr std::size_t kChunkHeaderBytes = 24;
inline constexpr std::size_t kEndMarkBytes = 16;

// Frame record flags beside the RecordedEvent bits.
inline constexpr std::uint8_t kHasPads = 1u << 5;
inline constexpr std::uint8_t kHasHash = 1u << 6;
inline constexpr std::uint8_t kHasKeyframe = 1u << 7;
inline constexpr std::uint8_t kKnownEvents = kEventFocusPause | kEventCarReloaded | kEventSimulationSkipped;

// Why a recording ended, as its end mark says.
enum class RecordingEnd : std::uint32_t {
    DriveEnded = 0,    // the game quit or the drive was left: the whole drive is in
    WriterStopped = 1, // the writer stopped early (drive too long, disk too slow): the drive went on
};

// CRC-32 (zlib's) of bytes, continuing from crc.
std::uint32_t crc32Of(std::string_view bytes, std::uint32_t crc = 0);

void writeKeyframe(ByteWriter& out, const Keyframe& state);
// A keyframe, its keys mapped through keyRows, or nothing when the bytes are
// short or hold an impossible value.
std::optional<Keyframe> readKeyframe(ByteReader& in, const DrivingKeyRows& keyRows);

// The file's first bytes: magic, version, header size and CRC, header.
std::string encodeRecordingHeader(const RecordingHeader& header);

// One frame record. carText is written when frame has kEventCarReloaded, the
// hash when hash is set, the keyframe when keyframe is set.
void writeFrameRecord(ByteWriter& out, const RecordedFrame& frame, const std::string* carText,
                      const std::uint64_t* hash, const Keyframe* keyframe);

// A whole chunk (header and packed frames) for frameCount records in raw, first frame firstFrame.
std::string encodeChunk(std::uint32_t firstFrame, std::uint32_t frameCount, std::string_view raw);
// The end mark after frameCount frames.
std::string encodeEndMark(std::uint32_t frameCount, RecordingEnd end);

} // namespace torvane
