// PNG decoding through libpng's full API. libpng reports errors by longjmp, so
// the part that runs under setjmp holds no object with a destructor of its own.
#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

#include "assets/image_file.h"

namespace torvane {
namespace {

struct PngSource {
    std::span<const std::uint8_t> data;
    std::size_t offset = 0;
};

// Serves libpng from memory; running past the end is a libpng error.
void readFromSource(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->data.size() - source->offset) {
        png_error(png, "truncated");
    }
    std::memcpy(out, source->data.data() + source->offset, count);
    source->offset += count;
}

// Leaves the decode without printing anything.
[[noreturn]] void abandonDecode(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Decodes into image, sizing image.rgba and rows; the fault when it cannot
// (Damaged on any libpng error, which includes data that ends early).
FileFault decodeInto(png_structp png, png_infop info, PngSource& source, std::size_t maxPixels, Image& image,
                     std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return FileFault::Damaged;
    }
    png_set_read_fn(png, &source, readFromSource);
    png_read_info(png, info);
    const FileFault sizeFault = imageSizeFault(png_get_image_width(png, info), png_get_image_height(png, info), maxPixels);
    if (sizeFault != FileFault::NoFault) {
        return sizeFault;
    }

    png_set_expand(png); // palette to RGB, grey to 8 bits, transparency chunk to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER); // opaque alpha where the file has none
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) {
        return FileFault::UnsupportedFormat;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgba.resize(std::size_t{width} * height * 4);
    rows.resize(height);
    for (png_uint_32 row = 0; row < height; ++row) {
        rows[row] = image.rgba.data() + std::size_t{row} * width * 4;
    }
    png_read_image(png, rows.data());
    return FileFault::NoFault;
}

} // namespace

DecodedImage decodePng(std::span<const std::uint8_t> data, std::size_t maxPixels)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, abandonDecode, ignoreWarning);
    if (png == nullptr) {
        return {std::nullopt, FileFault::TooLarge};
    }
    png_infop info = png_create_info_struct(png);
    PngSource source{data};
    Image image;
    std::vector<png_bytep> rows;
    FileFault fault = FileFault::TooLarge; // no memory for the decoder structs or the pixels
    try {
        if (info != nullptr) {
            fault = decodeInto(png, info, source, maxPixels, image, rows);
        }
    } catch (const std::bad_alloc&) {
        // the decoder structs are released below all the same
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (fault != FileFault::NoFault) {
        return {std::nullopt, fault};
    }
    return {std::move(image), FileFault::NoFault};
}

} // namespace torvane
