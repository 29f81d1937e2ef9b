// Little-endian byte writing and bounded byte reading for the recording
// format. The reader never reads past its end: once a read would, it fails,
// and every later read gives zeros.
//
// Shortcoming: floats are kept as their IEEE-754 bit patterns; a machine with
// another float format would need its own codec.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

// Appends values to a byte string.
class ByteWriter {
public:
    explicit ByteWriter(std::string& target) : bytes(target) {}

    void u8(std::uint8_t value) { bytes.push_back(static_cast<char>(value)); }
    void u16(std::uint16_t value) { little(value, 2); }
    void u32(std::uint32_t value) { little(value, 4); }
    void u64(std::uint64_t value) { little(value, 8); }
    void f32(float value) { u32(std::bit_cast<std::uint32_t>(value)); }
    void raw(std::string_view value) { bytes.append(value); }

private:
    void little(std::uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFFu));
        }
    }

    std::string& bytes;
};

// Reads values from a byte range; failed() once any read went past its end.
class ByteReader {
public:
    explicit ByteReader(std::string_view source) : bytes(source) {}

    std::uint8_t u8() { return static_cast<std::uint8_t>(little(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(little(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(little(4)); }
    std::uint64_t u64() { return little(8); }
    float f32() { return std::bit_cast<float>(u32()); }
    // The next count bytes; empty (and failed) when fewer are left.
    std::string_view raw(std::size_t count)
    {
        if (failure || count > left()) {
            failure = true;
            return {};
        }
        const std::string_view part = bytes.substr(at, count);
        at += count;
        return part;
    }

    std::size_t position() const { return at; }
    std::size_t left() const { return bytes.size() - at; }
    bool failed() const { return failure; }

private:
    std::uint64_t little(int count)
    {
        const std::string_view part = raw(static_cast<std::size_t>(count));
        std::uint64_t value = 0;
        for (int i = 0; i < static_cast<int>(part.size()); ++i) {
            value |= std::uint64_t{static_cast<unsigned char>(part[static_cast<std::size_t>(i)])} << (8 * i);
        }
        return value;
    }

    std::string_view bytes;
    std::size_t at = 0;
    bool failure = false;
};

} // namespace torvane
