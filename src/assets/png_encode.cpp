#include "assets/png_encode.h"

#include <cstdio>

#include <png.h>

namespace torvane {

bool writePngFile(const char* path, const Image& image)
{
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    const std::size_t pixels = std::size_t{width} * height;
    if (!isAcceptableImageSize(width, height) || image.rgba.size() != pixels * 4) {
        return false;
    }
    std::vector<std::uint8_t> rgb(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        rgb[i * 3] = image.rgba[i * 4];
        rgb[i * 3 + 1] = image.rgba[i * 4 + 1];
        rgb[i * 3 + 2] = image.rgba[i * 4 + 2];
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = PNG_FORMAT_RGB;
    const bool written = png_image_write_to_file(&png, path, 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&png);
    if (!written) {
        std::remove(path); // libpng may leave a partial file behind
    }
    return written;
}

} // namespace torvane
