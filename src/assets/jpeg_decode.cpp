// JPEG decoding through libjpeg. Errors leave the decode by longjmp, so the part
// that runs under setjmp holds no object with a destructor of its own.
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
// jerror.h follows jpeglib.h, which it needs.
#include <jerror.h>

#include "assets/image_file.h"

namespace torvane {
namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Leaves the decode without printing anything.
[[noreturn]] void abandonDecode(j_common_ptr jpeg)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(jpeg->err)->jump, 1);
}

// libjpeg only warns when the data ends early and pads the picture with grey;
// a truncated file is refused instead. Other warnings are silenced.
void filterMessage(j_common_ptr jpeg, int level)
{
    if (level < 0 && jpeg->err->msg_code == JWRN_JPEG_EOF) {
        abandonDecode(jpeg);
    }
}

// Decodes into image; false on any libjpeg error or unsupported colour space.
bool decodeInto(jpeg_decompress_struct& jpeg, JpegErrors& errors, std::span<const std::uint8_t> data, Image& image)
{
    if (setjmp(errors.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&jpeg);
    jpeg_mem_src(&jpeg, data.data(), data.size());
    jpeg_read_header(&jpeg, TRUE);
    const bool supported = jpeg.jpeg_color_space == JCS_GRAYSCALE || jpeg.jpeg_color_space == JCS_YCbCr
                           || jpeg.jpeg_color_space == JCS_RGB;
    if (!supported || !isAcceptableImageSize(jpeg.image_width, jpeg.image_height)) {
        return false;
    }
    jpeg.out_color_space = JCS_EXT_RGBA; // alpha comes out as 255
    jpeg_start_decompress(&jpeg);
    const std::size_t rowBytes = std::size_t{jpeg.output_width} * 4;
    if (jpeg.output_components != 4) {
        return false;
    }
    image.width = static_cast<int>(jpeg.output_width);
    image.height = static_cast<int>(jpeg.output_height);
    image.rgba.resize(rowBytes * jpeg.output_height);
    while (jpeg.output_scanline < jpeg.output_height) {
        JSAMPROW row = image.rgba.data() + rowBytes * jpeg.output_scanline;
        if (jpeg_read_scanlines(&jpeg, &row, 1) != 1) {
            return false;
        }
    }
    jpeg_finish_decompress(&jpeg);
    return true;
}

} // namespace

std::optional<Image> decodeJpeg(std::span<const std::uint8_t> data)
{
    JpegErrors errors{};
    jpeg_decompress_struct jpeg{};
    jpeg.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = abandonDecode;
    errors.manager.emit_message = filterMessage;
    Image image;
    bool decoded = false;
    try {
        decoded = decodeInto(jpeg, errors, data, image);
    } catch (const std::bad_alloc&) {
        // decoded stays false; the decoder structs are released below all the same
    }
    jpeg_destroy_decompress(&jpeg);
    if (!decoded) {
        return std::nullopt;
    }
    return image;
}

} // namespace torvane
