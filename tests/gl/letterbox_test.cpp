// Letterboxing the picture onto screens of other shapes: bars at the sides of
// a wide screen, above and below on a tall one, none on the picture's shape.
#include <array>

#include <gtest/gtest.h>

#include "render/gl/letterbox.h"

namespace torvane {
namespace {

TEST(Letterbox, KeepsThePicturesShapeCentred)
{
    // picture width, height; screen width, height; the area x, y, width, height
    const int cases[][8] = {
        {800, 600, 1920, 1080, 240, 0, 1440, 1080}, {800, 600, 1080, 1920, 0, 555, 1080, 810},
        {800, 600, 800, 600, 0, 0, 800, 600},        {800, 600, 1024, 768, 0, 0, 1024, 768},
        {800, 600, 16384, 16384, 0, 2048, 16384, 12288}, {800, 600, 0, 600, 0, 0, 0, 0},
        {0, 600, 800, 600, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const ScreenArea area = letterbox(c[0], c[1], c[2], c[3]);
        EXPECT_EQ((std::array<int, 4>{area.x, area.y, area.width, area.height}), (std::array<int, 4>{c[4], c[5], c[6], c[7]}))
            << c[2] << " x " << c[3];
    }
}

} // namespace
} // namespace torvane
