#include "assets/png_encode.h"

#include <png.h>

#include "core/atomic_file.h"

namespace torvane {

bool writePng(std::FILE* file, const Image& image)
{
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    const std::size_t pixels = std::size_t{width} * height;
    if (file == nullptr || !isAcceptableImageSize(width, height) || image.rgba.size() != pixels * 4) {
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
    const bool written = png_image_write_to_stdio(&png, file, 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return written;
}

bool writePngFile(const char* path, const Image& image)
{
    AtomicFile file(path);
    return writePng(file.file(), image) && file.commit();
}

} // namespace torvane
