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

// libjpeg only warns when the data ends early (the file, or a scan's data cut
// by the next marker) and pads the picture with grey; such data is refused
// instead. Other warnings are silenced.
void filterMessage(j_common_ptr jpeg, int level)
{
    if (level < 0 && (jpeg->err->msg_code == JWRN_JPEG_EOF || jpeg->err->msg_code == JWRN_HIT_MARKER)) {
        abandonDecode(jpeg);
    }
}

// Stops a progressive JPEG of more scans than kMaxJpegScans, each a pass over the picture.
void limitScans(j_common_ptr common)
{
    auto* jpeg = reinterpret_cast<j_decompress_ptr>(common);
    if (jpeg->is_decompressor && jpeg->input_scan_number > kMaxJpegScans) {
        abandonDecode(common);
    }
}

// Decodes into image; the fault when it cannot (Damaged on any libjpeg error).
FileFault decodeInto(jpeg_decompress_struct& jpeg, JpegErrors& errors, jpeg_progress_mgr& progress,
                     std::span<const std::uint8_t> data, std::size_t maxPixels, Image& image)
{
    if (setjmp(errors.jump) != 0) {
        return FileFault::Damaged;
    }
    jpeg_create_decompress(&jpeg); // clears every field but the error manager
    jpeg.progress = &progress;
    // libjpeg's own buffers (a progressive picture's coefficients) within what the pixels may take.
    jpeg.mem->max_memory_to_use = static_cast<long>(kMaxImagePixels * 8);
    jpeg_mem_src(&jpeg, data.data(), data.size());
    jpeg_read_header(&jpeg, TRUE);
    const bool supported = jpeg.jpeg_color_space == JCS_GRAYSCALE || jpeg.jpeg_color_space == JCS_YCbCr
                           || jpeg.jpeg_color_space == JCS_RGB;
    if (!supported) {
        return FileFault::UnsupportedFormat;
    }
    const FileFault sizeFault = imageSizeFault(jpeg.image_width, jpeg.image_height, maxPixels);
    if (sizeFault != FileFault::NoFault) {
        return sizeFault;
    }
    jpeg.out_color_space = JCS_EXT_RGBA; // alpha comes out as 255
    jpeg_start_decompress(&jpeg);
    const std::size_t rowBytes = std::size_t{jpeg.output_width} * 4;
    if (jpeg.output_components != 4) {
        return FileFault::UnsupportedFormat;
    }
    image.width = static_cast<int>(jpeg.output_width);
    image.height = static_cast<int>(jpeg.output_height);
    image.rgba.resize(rowBytes * jpeg.output_height);
    while (jpeg.output_scanline < jpeg.output_height) {
        JSAMPROW row = image.rgba.data() + rowBytes * jpeg.output_scanline;
        if (jpeg_read_scanlines(&jpeg, &row, 1) != 1) {
            return FileFault::Damaged;
        }
    }
    jpeg_finish_decompress(&jpeg);
    return FileFault::NoFault;
}

} // namespace

DecodedImage decodeJpeg(std::span<const std::uint8_t> data, std::size_t maxPixels)
{
    JpegErrors errors{};
    jpeg_decompress_struct jpeg{};
    jpeg.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = abandonDecode;
    errors.manager.emit_message = filterMessage;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;
    Image image;
    FileFault fault = FileFault::TooLarge; // no memory for the pixels
    try {
        fault = decodeInto(jpeg, errors, progress, data, maxPixels, image);
    } catch (const std::bad_alloc&) {
        // the decoder structs are released below all the same
    }
    jpeg_destroy_decompress(&jpeg);
    if (fault != FileFault::NoFault) {
        return {std::nullopt, fault};
    }
    return {std::move(image), FileFault::NoFault};
}

} // namespace torvane
