// Letterboxing the picture onto screens of other shapes: bars at the sides of
// a wide screen, above and below on a tall one, none on the picture's shape.
#include <gtest/gtest.h>

#include "render/gl/letterbox.h"

namespace torvane {
namespace {

void expectArea(ScreenArea area, int x, int y, int width, int height)
{
    EXPECT_EQ(area.x, x);
    EXPECT_EQ(area.y, y);
    EXPECT_EQ(area.width, width);
    EXPECT_EQ(area.height, height);
}

TEST(Letterbox, KeepsThePicturesShapeCentred)
{
    expectArea(letterbox(800, 600, 1920, 1080), 240, 0, 1440, 1080);
    expectArea(letterbox(800, 600, 1080, 1920), 0, 555, 1080, 810);
    expectArea(letterbox(800, 600, 800, 600), 0, 0, 800, 600);
    expectArea(letterbox(800, 600, 1024, 768), 0, 0, 1024, 768);
    expectArea(letterbox(800, 600, 16384, 16384), 0, 2048, 16384, 12288);
    expectArea(letterbox(800, 600, 0, 600), 0, 0, 0, 0);
    expectArea(letterbox(0, 600, 800, 600), 0, 0, 0, 0);
}

} // namespace
} // namespace torvane
