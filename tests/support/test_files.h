// Small files that the desktop tests write: PNG images and temporary files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>

namespace torvane {

using Bytes = std::vector<std::uint8_t>;

// format is one of libpng's PNG_FORMAT_* values; colormap goes with the palette formats.
inline Bytes encodePng(png_uint_32 width, png_uint_32 height, png_uint_32 format, const void* pixels,
                const void* colormap = nullptr, png_uint_32 colours = 0)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = format;
    image.colormap_entries = colours;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, colormap);
    Bytes out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, colormap);
    return out;
}

// Writes bytes to a file of the test's own in the temporary folder; returns its path.
inline std::string writeTemp(const std::string& name, const Bytes& bytes)
{
    const std::string path = testing::TempDir() + "torvane-" + std::to_string(getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    return path;
}

inline std::string writeTemp(const std::string& name, const std::string& text)
{
    return writeTemp(name, Bytes(text.begin(), text.end()));
}

} // namespace torvane
