#include "recording/recording_codec.h"

#include <cmath>
#include <new>
#include <type_traits>

#include <zlib.h>

namespace torvane {

std::uint32_t crc32Of(std::string_view bytes, std::uint32_t crc)
{
    // zlib takes at most a uInt at a time; the recording's pieces are far smaller.
    return static_cast<std::uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

void writeKeyframe(ByteWriter& out, const Keyframe& state)
{
    visitCarStateFields(state.car, [&out](const auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, bool>) {
            out.u8(field ? 1 : 0);
        } else {
            out.f32(field);
        }
    });
    out.u64(state.previousKeys);
    out.u32(state.pads.previousButtons);
    out.f32(state.pads.startHeldSeconds);
    out.u8(state.paused ? 1 : 0);
    out.u32(static_cast<std::uint32_t>(state.cameraMode));
}

std::optional<Keyframe> readKeyframe(ByteReader& in)
{
    Keyframe state;
    bool sound = true;
    const auto flag = [&in, &sound]() {
        const std::uint8_t value = in.u8();
        sound = sound && value <= 1;
        return value == 1;
    };
    visitCarStateFields(state.car, [&](auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, bool>) {
            field = flag();
        } else {
            field = in.f32();
        }
    });
    state.previousKeys = in.u64();
    state.pads.previousButtons = in.u32();
    state.pads.startHeldSeconds = in.f32();
    state.paused = flag();
    state.cameraMode = static_cast<std::int32_t>(in.u32());
    const bool keysKnown = kDrivingKeys.size() >= 64 || (state.previousKeys >> kDrivingKeys.size()) == 0;
    if (in.failed() || !sound || !keysKnown || !std::isfinite(state.pads.startHeldSeconds)) {
        return std::nullopt;
    }
    return state;
}

std::string encodeRecordingHeader(const RecordingHeader& header)
{
    std::string body;
    ByteWriter out(body);
    out.u16(static_cast<std::uint16_t>(header.programVersion.size()));
    out.raw(header.programVersion);
    out.u64(header.levelHash);
    out.u64(static_cast<std::uint64_t>(header.startTime));
    out.u32(header.stateHashEvery);
    out.u32(header.keyframeEvery);
    out.u32(static_cast<std::uint32_t>(header.carText.size()));
    out.raw(header.carText);
    writeKeyframe(out, header.start);

    std::string file(kRecordingMagic);
    ByteWriter prefix(file);
    prefix.u32(header.formatVersion);
    prefix.u32(static_cast<std::uint32_t>(body.size()));
    prefix.u32(crc32Of(body));
    file += body;
    return file;
}

void writeFrameRecord(ByteWriter& out, const RecordedFrame& frame, const std::string* carText,
                      const std::uint64_t* hash, const Keyframe* keyframe)
{
    const bool pads = frame.pads != PadFrame{};
    const bool reloaded = (frame.events & kEventCarReloaded) != 0 && carText != nullptr;
    const std::uint8_t events = reloaded ? frame.events : frame.events & ~kEventCarReloaded;
    out.u8(static_cast<std::uint8_t>((events & kKnownEvents) | (pads ? kHasPads : 0) | (hash ? kHasHash : 0)
                                     | (keyframe ? kHasKeyframe : 0)));
    out.f32(frame.frameTime);
    out.u64(frame.keys);
    if (pads) {
        out.f32(frame.pads.steering);
        out.f32(frame.pads.accelerator);
        out.f32(frame.pads.brake);
        out.u32(frame.pads.buttons);
    }
    if (reloaded) {
        out.u32(static_cast<std::uint32_t>(carText->size()));
        out.raw(*carText);
    }
    if (hash != nullptr) {
        out.u64(*hash);
    }
    if (keyframe != nullptr) {
        writeKeyframe(out, *keyframe);
    }
}

std::string encodeChunk(std::uint32_t firstFrame, std::uint32_t frameCount, std::string_view raw)
{
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION)
        != Z_OK) {
        throw std::bad_alloc(); // compress2 fails only for want of memory with a bound-sized buffer
    }
    packed.resize(packedSize);

    std::string chunk;
    ByteWriter out(chunk);
    out.u32(kChunkMagic);
    out.u32(firstFrame);
    out.u32(frameCount);
    out.u32(static_cast<std::uint32_t>(raw.size()));
    out.u32(static_cast<std::uint32_t>(packed.size()));
    out.u32(crc32Of(packed, crc32Of(chunk)));
    chunk += packed;
    return chunk;
}

std::string encodeEndMark(std::uint32_t frameCount, RecordingEnd end)
{
    std::string mark;
    ByteWriter out(mark);
    out.u32(kEndMagic);
    out.u32(frameCount);
    out.u32(static_cast<std::uint32_t>(end));
    out.u32(crc32Of(mark));
    return mark;
}

} // namespace torvane
