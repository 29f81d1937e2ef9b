// Image files for textures: PNG and JPEG decoded on the CPU into RGBA8 pixels,
// top row first (row 0 is texture v = 0). The format is told by the file's
// signature, not its name.
//
// Bounds, checked from the image's header before any pixel is allocated: a side
// of at most kMaxImageSide (64 MB of RGBA at most, and half the 8192 that any
// device able to run OpenGL 3.3 takes), and all the textures one process reads
// together within kTextureBudgetBytes of decoded pixels. Data that ends before the last
// pixel is refused, not padded.
//
// Shortcomings: PNG gamma and colour-profile chunks are ignored (samples are
// taken as they are stored); CMYK JPEGs are refused; a JPEG with corrupt
// entropy data that does not end early still decodes (libjpeg fills in what it
// can). A progressive JPEG of more than kMaxJpegScans scans is refused.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/file_contents.h"

namespace torvane {

inline constexpr int kMaxImageSide = 4096;
inline constexpr std::size_t kMaxImagePixels = std::size_t{kMaxImageSide} * kMaxImageSide;
// Decoded RGBA bytes of all the textures of one process: 16 of the largest.
inline constexpr std::size_t kTextureBudgetBytes = std::size_t{256} << 20;
// Real progressive JPEGs have about ten scans; each scan costs a pass over the picture.
inline constexpr int kMaxJpegScans = 100;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // width * height * 4 bytes, row 0 at the top
};

// An image, or why there is none.
struct DecodedImage {
    std::optional<Image> image;
    FileFault fault = FileFault::NoFault; // UnsupportedFormat, Damaged, TooManyPixels or OverBudget
};

// Palette, grey, 16-bit and transparency all come back as RGBA8. An image of
// more than maxPixels pixels (but within kMaxImageSide) is OverBudget.
DecodedImage decodePng(std::span<const std::uint8_t> data, std::size_t maxPixels = kMaxImagePixels);
// Greyscale and colour JPEGs, alpha 255.
DecodedImage decodeJpeg(std::span<const std::uint8_t> data, std::size_t maxPixels = kMaxImagePixels);

// What the textures of a process may still take.
class ImageBudget {
public:
    explicit ImageBudget(std::size_t bytes) : remainingBytes(bytes) {}
    std::size_t remainingPixels() const { return remainingBytes / 4; }
    void charge(const Image& image) { remainingBytes -= std::min(remainingBytes, image.rgba.size()); }

private:
    std::size_t remainingBytes;
};

// The file at path decoded within budget, which it then charges; the file's
// fault when it cannot be read, UnsupportedFormat when it is neither PNG nor
// JPEG. With a cacheFolder, the pixels come from its entry for the file's bytes
// when one fits (assets/image_cache.h), and a decoded image is kept there.
DecodedImage readImageFile(const char* path, ImageBudget& budget, const std::string& cacheFolder = {});
// The same within the process's own budget of kTextureBudgetBytes; a failure is
// noted for fileFaultOf(path). Reads one file at a time, as the budget is shared.
std::optional<Image> readImageFile(const char* path, const std::string& cacheFolder = {});

// Whether an image of width by height is within kMaxImageSide (and not empty).
constexpr bool isAcceptableImageSize(std::uint32_t width, std::uint32_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide;
}

// Why an image of width by height cannot be decoded within maxPixels; NoFault when it can.
constexpr FileFault imageSizeFault(std::uint32_t width, std::uint32_t height, std::size_t maxPixels)
{
    if (!isAcceptableImageSize(width, height)) {
        return width == 0 || height == 0 ? FileFault::Damaged : FileFault::TooManyPixels;
    }
    return std::size_t{width} * height > maxPixels ? FileFault::OverBudget : FileFault::NoFault;
}

} // namespace torvane
