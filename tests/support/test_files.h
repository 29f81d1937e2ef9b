// PNG images that the desktop tests write (into their files of scratch_folder.h).
#pragma once

#include <cstdint>
#include <vector>

#include <png.h>

#include "support/scratch_folder.h"

namespace torvane {

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

} // namespace torvane
