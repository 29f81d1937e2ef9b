#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "support/test_files.h"
#include "assets/image_cache.h"
#include "assets/image_file.h"
#include "core/content_hash.h"
#include "core/file_fault_log.h"

namespace torvane {
namespace {

Bytes encodeJpeg(JDIMENSION width, JDIMENSION height, int components, const Bytes& pixels)
{
    jpeg_compress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&jpeg, &buffer, &size);
    jpeg.image_width = width;
    jpeg.image_height = height;
    jpeg.input_components = components;
    jpeg.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, 100, TRUE);
    jpeg_start_compress(&jpeg, TRUE);
    for (JSAMPROW row = const_cast<JSAMPROW>(pixels.data()); jpeg.next_scanline < height; row += width * components) {
        jpeg_write_scanlines(&jpeg, &row, 1);
    }
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// Top row red, green; bottom row blue, half-transparent white.
const Bytes kRgba2x2{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};

TEST(DecodePng, StoredFormatsBecomeRgba8TopRowFirst)
{
    const std::optional<Image> image = decodePng(encodePng(2, 2, PNG_FORMAT_RGBA, kRgba2x2.data())).image;
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->rgba, kRgba2x2);

    const Bytes grey{0, 200};
    EXPECT_EQ(decodePng(encodePng(2, 1, PNG_FORMAT_GRAY, grey.data())).image.value_or(Image{}).rgba,
              (Bytes{0, 0, 0, 255, 200, 200, 200, 255}));
    const Bytes palette{255, 0, 0, 64, 0, 255, 0, 255}; // stored as 1-bit indices with a transparency chunk
    const Bytes indices{0, 1};
    EXPECT_EQ(decodePng(encodePng(2, 1, PNG_FORMAT_RGBA_COLORMAP, indices.data(), palette.data(), 2))
                  .image.value_or(Image{}).rgba,
              palette);
    const std::uint16_t deep[] = {0xFFFF, 0x8080, 0};
    EXPECT_EQ(decodePng(encodePng(1, 1, PNG_FORMAT_LINEAR_RGB, deep)).image.value_or(Image{}).rgba,
              (Bytes{255, 128, 0, 255}));
}

TEST(DecodeJpeg, ColourAndGreyBecomeOpaqueRgbaTopRowFirst)
{
    Bytes redOverBlue;
    for (int i = 0; i < 16 * 16; ++i) {
        redOverBlue.insert(redOverBlue.end(), {std::uint8_t(i < 128 ? 255 : 0), 0, std::uint8_t(i < 128 ? 0 : 255)});
    }
    const Bytes rgba = decodeJpeg(encodeJpeg(16, 16, 3, redOverBlue)).image.value_or(Image{}).rgba;
    ASSERT_EQ(rgba.size(), 16u * 16u * 4u);
    EXPECT_NEAR(rgba[0], 255, 24); // top left red
    EXPECT_NEAR(rgba[2], 0, 24);
    EXPECT_NEAR(rgba[15 * 64], 0, 24); // bottom left blue
    EXPECT_NEAR(rgba[15 * 64 + 2], 255, 24);
    for (std::size_t i = 3; i < rgba.size(); i += 4) {
        ASSERT_EQ(rgba[i], 255);
    }
    const Bytes grey = decodeJpeg(encodeJpeg(8, 8, 1, Bytes(64, 100))).image.value_or(Image{}).rgba;
    ASSERT_EQ(grey.size(), 256u);
    EXPECT_EQ(Bytes(grey.begin(), grey.begin() + 4), (Bytes{100, 100, 100, 255}));
}

// A JPEG whose header claims width by height over the pixels of a small one,
// whose data then ends at its end-of-image marker long before the claimed picture.
Bytes jpegClaiming(std::uint16_t width, std::uint16_t height)
{
    Bytes jpeg = encodeJpeg(8, 8, 3, Bytes(8 * 8 * 3, 90));
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) { // the frame header: length, precision, height, width
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            break;
        }
    }
    return jpeg;
}

// Damaged data, bombs (a small file claiming a huge picture), data that ends
// early and kinds the game does not read are refused with their cause, from
// the header where the header tells, without a word on stderr; nothing is padded.
TEST(DecodeImage, DamagedBombsShortDataAndUnsupportedKindsAreRefusedWithTheirCause)
{
    const Bytes png = encodePng(2, 2, PNG_FORMAT_RGBA, kRgba2x2.data());
    Bytes badCrc = png;
    badCrc[20] ^= 1; // inside the header chunk
    const Bytes wide(5000, 0);
    Bytes noise(32 * 32 * 3);
    std::generate(noise.begin(), noise.end(), [i = 0]() mutable { return static_cast<std::uint8_t>(7 * i++); });
    const Bytes jpeg = encodeJpeg(32, 32, 3, noise);
    ASSERT_TRUE(decodeJpeg(jpeg).image);
    enum Decoder { Png, Jpeg };
    const struct {
        const char* what;
        Decoder decoder;
        Bytes data;
        FileFault fault;
        std::size_t maxPixels = kMaxImagePixels;
    } cases[] = {
        {"png cut in its header", Png, Bytes(png.begin(), png.begin() + 40), FileFault::Damaged},
        {"png cut in its data", Png, Bytes(png.begin(), png.end() - 20), FileFault::Damaged},
        {"png with a bad checksum", Png, badCrc, FileFault::Damaged},
        {"png too wide", Png, encodePng(5000, 1, PNG_FORMAT_GRAY, wide.data()), FileFault::TooManyPixels},
        {"png over its budget", Png, png, FileFault::OverBudget, 3},
        {"png within its budget", Png, png, FileFault::NoFault, 4},
        {"png of garbage", Png, Bytes(64, 0xAB), FileFault::Damaged},
        {"empty png", Png, Bytes{}, FileFault::Damaged},
        {"jpeg cut in half", Jpeg, Bytes(jpeg.begin(), jpeg.begin() + std::ssize(jpeg) / 2), FileFault::Damaged},
        {"jpeg bomb", Jpeg, jpegClaiming(16384, 16384), FileFault::TooManyPixels},
        {"jpeg too wide", Jpeg, jpegClaiming(4097, 1), FileFault::TooManyPixels},
        {"jpeg short of its large picture", Jpeg, jpegClaiming(4096, 4096), FileFault::Damaged},
        {"jpeg short of its picture", Jpeg, jpegClaiming(64, 64), FileFault::Damaged},
        {"jpeg over its budget", Jpeg, jpegClaiming(64, 64), FileFault::OverBudget, 64 * 63},
        {"cmyk jpeg", Jpeg, encodeJpeg(8, 8, 4, Bytes(8 * 8 * 4, 60)), FileFault::UnsupportedFormat},
        {"jpeg of garbage", Jpeg, Bytes(64, 0xAB), FileFault::Damaged},
        {"empty jpeg", Jpeg, Bytes{}, FileFault::Damaged},
    };
    testing::internal::CaptureStderr();
    for (const auto& c : cases) {
        const DecodedImage decoded = c.decoder == Png ? decodePng(c.data, c.maxPixels) : decodeJpeg(c.data, c.maxPixels);
        EXPECT_EQ(decoded.fault, c.fault) << c.what;
        EXPECT_EQ(decoded.image.has_value(), c.fault == FileFault::NoFault) << c.what;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// The textures of a process share one budget of decoded bytes, charged as they
// are read; the decoder is chosen by content, not name; a file that cannot be
// read says why.
TEST(ReadImageFile, ChargesItsBudgetAndNamesTheCause)
{
    const std::string png = writeTemp("budget.jpg", encodePng(2, 2, PNG_FORMAT_RGBA, kRgba2x2.data()));
    const std::string jpeg = writeTemp("budget.png", encodeJpeg(8, 8, 1, Bytes(64, 7)));
    EXPECT_EQ(readImageFile(jpeg.c_str()).value_or(Image{}).width, 8);
    std::remove(jpeg.c_str());
    ImageBudget budget(2 * 2 * 4 * 2 + 3);
    EXPECT_TRUE(readImageFile(png.c_str(), budget).image);
    EXPECT_TRUE(readImageFile(png.c_str(), budget).image);
    EXPECT_EQ(readImageFile(png.c_str(), budget).fault, FileFault::OverBudget);

    ImageBudget plenty(kTextureBudgetBytes);
    EXPECT_EQ(readImageFile("/nonexistent/car.png", plenty).fault, FileFault::NotFound);
    EXPECT_EQ(readImageFile(testing::TempDir().c_str(), plenty).fault, FileFault::NotRegularFile);
    const std::string text = writeTemp("budget.txt", Bytes{'n', 'o'});
    EXPECT_EQ(readImageFile(text.c_str(), plenty).fault, FileFault::UnsupportedFormat);

    EXPECT_FALSE(readImageFile(text.c_str()));
    EXPECT_EQ(fileFaultOf(text), FileFault::UnsupportedFormat) << "noted for the box that names it";
    std::remove(text.c_str());
    EXPECT_FALSE(readImageFile(text.c_str()));
    EXPECT_EQ(fileFaultOf(text), FileFault::NotFound);
    EXPECT_TRUE(readImageFile(png.c_str()));
    EXPECT_EQ(fileFaultOf(png), FileFault::NoFault);
    std::remove(png.c_str());
}

TEST(ReadImageFile, CachedPixelsAreTakenOnlyFromASoundEntryOfTheSameBytes)
{
    const ScratchFolder folder;
    const Bytes bytes = encodePng(2, 2, PNG_FORMAT_RGBA, kRgba2x2.data());
    const std::string png = folder / "cached.png", cache = folder / "cache";
    std::ofstream(png, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    const std::uint64_t key = cacheHash(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    ImageBudget budget(kTextureBudgetBytes);
    EXPECT_EQ(readImageFile(png.c_str(), budget, cache).image.value_or(Image{}).rgba, kRgba2x2);
    ASSERT_EQ(loadCachedImage(cache, key, kMaxImagePixels).value_or(Image{}).rgba, kRgba2x2) << "kept";

    // An entry for these bytes is what the next read shows (here, other pixels).
    const Image other{1, 1, {1, 2, 3, 4}};
    storeCachedImage(cache, key, other);
    EXPECT_EQ(readImageFile(png.c_str(), budget, cache).image.value_or(Image{}).rgba, other.rgba);

    // A damaged, cut, foreign or oversized entry is passed over, and written again from the file.
    const std::filesystem::path entry = *std::filesystem::directory_iterator(cache);
    const auto damage = [&](std::size_t at, char value, std::size_t size) {
        storeCachedImage(cache, key, other);
        std::fstream(entry, std::ios::in | std::ios::out | std::ios::binary).seekp(std::streamoff(at)).put(value);
        std::filesystem::resize_file(entry, size);
    };
    const std::size_t whole = std::filesystem::file_size(entry);
    const std::vector<std::pair<std::size_t, std::size_t>> cases = {
        {whole - 1, whole}, // a pixel
        {0, whole},         // the magic
        {8, whole},         // the key
        {16, whole},        // the width
        {whole - 1, whole - 1},
        {whole - 1, whole + 4},
    };
    for (const auto& [at, size] : cases) {
        damage(at, 'x', size);
        EXPECT_EQ(readImageFile(png.c_str(), budget, cache).image.value_or(Image{}).rgba, kRgba2x2)
            << at << " " << size;
        EXPECT_EQ(loadCachedImage(cache, key, kMaxImagePixels).value_or(Image{}).rgba, kRgba2x2);
    }
    EXPECT_FALSE(loadCachedImage(cache, key, 3)) << "over the budget's pixels";
    EXPECT_FALSE(loadCachedImage(cache, key + 1, kMaxImagePixels)) << "other bytes";
}

} // namespace
} // namespace torvane
