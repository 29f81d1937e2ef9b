#include <algorithm>
#include <cmath>

#include <zlib.h>

#include "core/file_contents.h"
#include "recording/recording.h"
#include "recording/recording_codec.h"

namespace torvane {
namespace {

constexpr std::uint32_t kMaxEvery = 1u << 20; // frames between hashes or keyframes

// A frame's records as decoded from one chunk, taken only when the whole chunk is sound.
struct ChunkFrames {
    std::vector<RecordedFrame> frames;
    std::vector<StateCheck> stateChecks;
    std::vector<FrameKeyframe> keyframes;
    std::vector<CarReload> carReloads;
};

bool withinUnit(float value, float low)
{
    return std::isfinite(value) && value >= low && value <= 1.0f;
}

// Decodes one frame record as frame number; false when it is unsound.
bool readFrameRecord(ByteReader& in, std::uint32_t frame, const DrivingKeyRows& keyRows, ChunkFrames& out)
{
    const std::uint8_t flags = in.u8();
    RecordedFrame record;
    record.events = flags & kKnownEvents;
    record.frameTime = in.f32();
    const std::optional<std::uint64_t> keys = keyRows.toRows(in.u64());
    if ((flags & ~(kKnownEvents | kHasPads | kHasHash | kHasKeyframe)) != 0 || !std::isfinite(record.frameTime)
        || record.frameTime < 0.0f || !keys) {
        return false;
    }
    record.keys = *keys;
    if ((flags & kHasPads) != 0) {
        record.pads = {in.f32(), in.f32(), in.f32(), in.u32()};
        if (!withinUnit(record.pads.steering, -1.0f) || !withinUnit(record.pads.accelerator, 0.0f)
            || !withinUnit(record.pads.brake, 0.0f)) {
            return false;
        }
    }
    if ((flags & kEventCarReloaded) != 0) {
        const std::uint32_t size = in.u32();
        if (size > kMaxRecordedCarTextBytes || size > in.left()) {
            return false;
        }
        out.carReloads.push_back({frame, std::string(in.raw(size))});
    }
    if ((flags & kHasHash) != 0) {
        out.stateChecks.push_back({frame, in.u64()});
    }
    if ((flags & kHasKeyframe) != 0) {
        std::optional<Keyframe> state = readKeyframe(in, keyRows);
        if (!state) {
            return false;
        }
        out.keyframes.push_back({frame, *state});
    }
    out.frames.push_back(record);
    return !in.failed();
}

// The header's body and the map of its driving keys; false when a field is out
// of bounds or the body is not used up exactly.
bool readHeaderBody(std::string_view body, RecordingHeader& header, DrivingKeyRows& keyRows)
{
    ByteReader in(body);
    const std::uint16_t versionSize = in.u16();
    if (versionSize > kMaxProgramVersionBytes) {
        return false;
    }
    header.programVersion = std::string(in.raw(versionSize));
    header.levelHash = in.u64();
    header.startTime = static_cast<std::int64_t>(in.u64());
    header.stateHashEvery = in.u32();
    header.keyframeEvery = in.u32();
    const std::optional<DrivingKeyRows> recordedKeys = readDrivingKeyCodes(in);
    const std::uint32_t carSize = in.u32();
    if (!recordedKeys || header.stateHashEvery == 0 || header.stateHashEvery > kMaxEvery || header.keyframeEvery == 0
        || header.keyframeEvery > kMaxEvery || carSize > kMaxRecordedCarTextBytes) {
        return false;
    }
    keyRows = *recordedKeys;
    header.carText = std::string(in.raw(carSize));
    std::optional<Keyframe> start = readKeyframe(in, keyRows);
    if (!start) {
        return false;
    }
    header.start = *start;
    return !in.failed() && in.left() == 0;
}

// Reads the chunks after the header into recording, up to the end mark or the first fault.
class ChunkReading {
public:
    ChunkReading(std::string_view file, std::string_view fileName, const DrivingKeyRows& recordedKeys,
                 Recording& target)
        : bytes(file), name(fileName), keyRows(recordedKeys), recording(target)
    {
    }

    void readFrom(std::size_t start)
    {
        at = start;
        while (readOne()) {
        }
    }

private:
    std::uint32_t framesSoFar() const { return static_cast<std::uint32_t>(recording.frames.size()); }

    // Ends the reading with a note of where and why.
    bool stop(const std::string& why)
    {
        recording.stopNote = std::string(name) + ": stops after frame " + std::to_string(framesSoFar()) + " (byte "
                             + std::to_string(at) + "): " + why;
        return false;
    }
    bool cutShort() { return stop("the file ends inside a chunk or before the end mark (the drive was cut off)"); }

    bool readOne()
    {
        ByteReader in(bytes.substr(at));
        if (in.left() == 0) {
            return stop("no end mark (the drive was cut off: a crash, a kill or a full disk)");
        }
        const std::uint32_t magic = in.u32();
        if (in.failed()) {
            return cutShort();
        }
        if (magic == kEndMagic) {
            return readEnd(in);
        }
        if (magic != kChunkMagic) {
            return stop("damaged: not a chunk");
        }
        return readChunk(in);
    }

    bool readEnd(ByteReader& in)
    {
        const std::uint32_t count = in.u32();
        const std::uint32_t end = in.u32();
        const std::uint32_t crc = in.u32();
        if (in.failed()) {
            return cutShort();
        }
        if (crc != crc32Of(bytes.substr(at, kEndMarkBytes - 4)) || count != framesSoFar() || end > 1) {
            return stop("damaged end mark");
        }
        at += kEndMarkBytes;
        if (at != bytes.size()) {
            return stop("damaged: bytes after the end mark");
        }
        if (static_cast<RecordingEnd>(end) == RecordingEnd::WriterStopped) {
            return stop("the recording stopped there while the drive went on (too long a drive, or a disk too slow)");
        }
        recording.complete = true;
        return false;
    }

    bool readChunk(ByteReader& in)
    {
        const std::uint32_t first = in.u32();
        const std::uint32_t count = in.u32();
        const std::uint32_t rawSize = in.u32();
        const std::uint32_t packedSize = in.u32();
        const std::uint32_t crc = in.u32();
        if (in.failed()) {
            return cutShort();
        }
        if (first != framesSoFar() + 1 || count == 0 || count > kMaxChunkFrames || rawSize > kMaxChunkRawBytes
            || packedSize > compressBound(rawSize)) {
            return stop("damaged chunk header");
        }
        if (count > kMaxRecordedFrames - framesSoFar()) {
            return stop("more than " + std::to_string(kMaxRecordedFrames) + " frames");
        }
        const std::string_view packed = in.raw(packedSize);
        if (in.failed()) {
            return cutShort();
        }
        if (crc != crc32Of(packed, crc32Of(bytes.substr(at, kChunkHeaderBytes - 4)))) {
            return stop("damaged chunk (its CRC-32 does not match)");
        }
        std::string raw(rawSize, '\0');
        uLongf unpacked = rawSize;
        if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &unpacked, reinterpret_cast<const Bytef*>(packed.data()),
                       packedSize)
                != Z_OK
            || unpacked != rawSize) {
            return stop("damaged chunk (it does not unpack to its size)");
        }
        ChunkFrames decoded;
        decoded.frames.reserve(count);
        ByteReader records(raw);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!readFrameRecord(records, first + i, keyRows, decoded)) {
                return stop("damaged frame " + std::to_string(first + i));
            }
        }
        if (records.left() != 0) {
            return stop("damaged chunk (bytes after its frames)");
        }
        take(decoded);
        at += kChunkHeaderBytes + packedSize;
        return true;
    }

    void take(ChunkFrames& decoded)
    {
        recording.frames.insert(recording.frames.end(), decoded.frames.begin(), decoded.frames.end());
        recording.stateChecks.insert(recording.stateChecks.end(), decoded.stateChecks.begin(),
                                     decoded.stateChecks.end());
        recording.keyframes.insert(recording.keyframes.end(), decoded.keyframes.begin(), decoded.keyframes.end());
        std::move(decoded.carReloads.begin(), decoded.carReloads.end(), std::back_inserter(recording.carReloads));
    }

    std::string_view bytes;
    std::string_view name;
    const DrivingKeyRows& keyRows;
    Recording& recording;
    std::size_t at = 0;
};

// Finds the entry of frame-ordered entries with the greatest frame at or before frame.
template <typename Entry>
const Entry* lastAtOrBefore(const std::vector<Entry>& entries, std::uint32_t frame)
{
    const auto after = std::upper_bound(entries.begin(), entries.end(), frame,
                                        [](std::uint32_t value, const Entry& entry) { return value < entry.frame; });
    return after == entries.begin() ? nullptr : &*(after - 1);
}

} // namespace

const std::string& Recording::carTextFor(std::uint32_t frame) const
{
    const CarReload* reload = lastAtOrBefore(carReloads, frame);
    return reload != nullptr ? reload->text : header.carText;
}

const std::string* Recording::carReloadAt(std::uint32_t frame) const
{
    const CarReload* reload = lastAtOrBefore(carReloads, frame);
    return reload != nullptr && reload->frame == frame ? &reload->text : nullptr;
}

const FrameKeyframe* Recording::keyframeAtOrBefore(std::uint32_t frame) const
{
    return lastAtOrBefore(keyframes, frame);
}

RecordingRead parseRecording(std::string_view bytes, std::string_view name)
{
    const std::string file(name);
    const auto refuse = [&file](const std::string& why, FileFault fault = FileFault::Damaged) {
        return RecordingRead{std::nullopt, file + ": " + why, fault};
    };
    if (bytes.size() < kRecordingMagic.size() || bytes.substr(0, kRecordingMagic.size()) != kRecordingMagic) {
        return refuse("not a Torvane recording", FileFault::UnsupportedFormat);
    }
    ByteReader in(bytes.substr(kRecordingMagic.size()));
    const std::uint32_t version = in.u32();
    const std::uint32_t headerSize = in.u32();
    const std::uint32_t headerCrc = in.u32();
    if (in.failed()) {
        return refuse("cut short in its header");
    }
    if (version > kRecordingFormatVersion) {
        return refuse("recorded in a newer format (version " + std::to_string(version) + "; this Torvane reads version "
                      + std::to_string(kRecordingFormatVersion) + "): replay it with a newer Torvane",
                      FileFault::UnsupportedFormat);
    }
    if (version != kRecordingFormatVersion) {
        return refuse("recorded in an older format (version " + std::to_string(version) + "), no longer read",
                      FileFault::UnsupportedFormat);
    }
    if (headerSize > kMaxHeaderBytes) {
        return refuse("damaged header (it claims " + std::to_string(headerSize) + " bytes)");
    }
    const std::string_view body = in.raw(headerSize);
    if (in.failed()) {
        return refuse("cut short in its header");
    }
    Recording recording;
    DrivingKeyRows keyRows;
    if (headerCrc != crc32Of(body) || !readHeaderBody(body, recording.header, keyRows)) {
        return refuse("damaged header");
    }
    recording.header.formatVersion = version;
    ChunkReading(bytes, name, keyRows, recording).readFrom(kRecordingMagic.size() + 12 + headerSize);
    return {std::move(recording), {}};
}

RecordingRead readRecording(const std::string& path)
{
    const FileRead file = readFile(path.c_str(), kMaxRecordingBytes, FinalLink::Refuse);
    if (!file.contents) {
        const std::string why = file.fault == FileFault::TooLarge
                                    ? "larger than " + std::to_string(kMaxRecordingBytes >> 20) + " MB"
                                    : fileFaultReason(file.fault);
        return {std::nullopt, path + ": cannot be read: " + why, file.fault};
    }
    return parseRecording(*file.contents, path);
}

} // namespace torvane
