// Image files for textures: PNG and JPEG decoded on the CPU into RGBA8 pixels,
// top row first (row 0 is texture v = 0). The format is told by the file's
// signature, not its name.
//
// Shortcomings: PNG gamma and colour-profile chunks are ignored (samples are
// taken as they are stored); CMYK JPEGs are rejected; a JPEG with corrupt
// entropy data still decodes (libjpeg fills in what it can), only a truncated
// one is refused. Images wider or taller than kMaxImageSide are refused.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace torvane {

inline constexpr int kMaxImageSide = 16384;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // width * height * 4 bytes, row 0 at the top
};

// Palette, grey, 16-bit and transparency all come back as RGBA8.
std::optional<Image> decodePng(std::span<const std::uint8_t> data);
// Greyscale and colour JPEGs, alpha 255.
std::optional<Image> decodeJpeg(std::span<const std::uint8_t> data);
// nullopt when the file is missing, neither PNG nor JPEG, or does not decode.
std::optional<Image> readImageFile(const char* path);

// True when both sides are within 1 .. kMaxImageSide.
constexpr bool isAcceptableImageSize(std::uint32_t width, std::uint32_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide;
}

} // namespace torvane
