// Screenshots: the written PNG decodes to the same colours, opaque, and a
// malformed image or an unwritable path is refused without leaving a file.
#include <gtest/gtest.h>

#include <filesystem>

#include "assets/png_encode.h"
#include "core/file_contents.h"
#include "support/test_files.h"

namespace torvane {
namespace {

TEST(PngEncode, WritesAnOpaqueCopyOfThePicture)
{
    Image image{3, 2, {}};
    for (int i = 0; i < 6; ++i) {
        const auto v = static_cast<std::uint8_t>(40 * i);
        image.rgba.insert(image.rgba.end(), {v, static_cast<std::uint8_t>(255 - v), 7, static_cast<std::uint8_t>(v / 2)});
    }
    const std::string path = writeTemp("shot.png", Bytes{});
    ASSERT_TRUE(writePngFile(path.c_str(), image));
    const std::optional<std::string> file = readFileContents(path.c_str());
    ASSERT_TRUE(file);
    const std::optional<Image> decoded = decodePng(bytesOf(*file)).image;
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 3);
    EXPECT_EQ(decoded->height, 2);
    for (std::size_t i = 0; i < image.rgba.size(); ++i) {
        EXPECT_EQ(decoded->rgba[i], i % 4 == 3 ? 255 : image.rgba[i]) << i;
    }

    std::filesystem::remove(path);
    image.rgba.pop_back();
    EXPECT_FALSE(writePngFile(path.c_str(), image));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(writePngFile("/no-such-folder/shot.png", Image{1, 1, {1, 2, 3, 4}}));
}

} // namespace
} // namespace torvane
