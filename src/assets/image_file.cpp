#include "assets/image_file.h"

#include <algorithm>
#include <array>

#include "core/file_contents.h"

namespace torvane {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::array<std::uint8_t, 3> kJpegSignature{0xFF, 0xD8, 0xFF};

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix)
{
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

} // namespace

std::optional<Image> readImageFile(const char* path)
{
    const std::optional<std::string> contents = readFileContents(path);
    if (!contents) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> bytes = bytesOf(*contents);
    if (startsWith(bytes, kPngSignature)) {
        return decodePng(bytes);
    }
    if (startsWith(bytes, kJpegSignature)) {
        return decodeJpeg(bytes);
    }
    return std::nullopt;
}

} // namespace torvane
