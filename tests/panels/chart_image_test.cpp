// The charts' CPU painting: lines reach both ends and stay inside the image
// whatever their ends, translucent colours mix into an opaque pixel, circles
// are round, and texts come from the font's atlas, clipped to the image.
#include <algorithm>

#include <gtest/gtest.h>

#include "panels/chart_image.h"
#include "support/headless_imgui.h"

namespace torvane {
namespace {

constexpr ImU32 kGround = IM_COL32(0, 0, 0, 255);
constexpr ImU32 kInk = IM_COL32(255, 255, 255, 255);

// How many pixels of image are not the ground.
int inked(const ChartImage& image)
{
    const ImU32* pixels = image.pixels();
    return static_cast<int>(
        std::count_if(pixels, pixels + image.width() * image.height(), [](ImU32 pixel) { return pixel != kGround; }));
}

TEST(ChartImage, LinesReachTheirEndsAndAreClippedToTheImage)
{
    ChartImage image(20, 10);
    image.fill(kGround);
    image.line(ImVec2(2.0f, 3.0f), ImVec2(15.0f, 7.0f), kInk);
    EXPECT_EQ(image.at(2, 3), kInk);
    EXPECT_EQ(image.at(15, 7), kInk);
    EXPECT_EQ(inked(image), 14) << "one pixel per column of the longer side";

    image.fill(kGround);
    image.line(ImVec2(-50.0f, 5.0f), ImVec2(70.0f, 5.0f), kInk, 3); // ends far outside; ASan watches
    EXPECT_EQ(inked(image), 20 * 3);
    image.fill(kGround);
    image.line(ImVec2(-5.0f, -5.0f), ImVec2(-1.0f, -9.0f), kInk);
    EXPECT_EQ(inked(image), 0);
}

TEST(ChartImage, TranslucentColoursMixIntoAnOpaquePixel)
{
    ChartImage image(4, 4);
    image.fill(IM_COL32(0, 100, 200, 255));
    image.disc(ImVec2(1.0f, 1.0f), 0.4f, IM_COL32(255, 0, 200, 128));
    EXPECT_EQ(image.at(1, 1), IM_COL32(128, 50, 200, 255));
    EXPECT_EQ(image.at(3, 3), IM_COL32(0, 100, 200, 255));
}

TEST(ChartImage, RingsAreRoundAroundTheirCentre)
{
    ChartImage image(41, 41);
    image.fill(kGround);
    image.ring(ImVec2(20.0f, 20.0f), 15.0f, kInk);
    for (const auto& [x, y] : {std::pair{35, 20}, {5, 20}, {20, 35}, {20, 5}}) {
        EXPECT_EQ(image.at(x, y), kInk) << x << "," << y;
    }
    EXPECT_EQ(image.at(20, 20), kGround);
    EXPECT_EQ(image.at(31, 31), kGround) << "outside the circle, within its square";
    EXPECT_EQ(image.at(30, 31), kInk) << "on the circle's diagonal: 15 / √2 ≈ 10.6";
}

TEST(ChartImage, TextsComeFromTheFontAtlasAndAreClipped)
{
    HeadlessImGui imgui;
    const ImFont& font = *ImGui::GetIO().Fonts->Fonts[0];
    ChartImage image(40, 20);
    image.fill(kGround);
    image.text(font, ImVec2(2.0f, 2.0f), kInk, "Dé");
    const int drawn = inked(image);
    EXPECT_GT(drawn, 20);
    image.fill(kGround);
    image.text(font, ImVec2(34.0f, 2.0f), kInk, "Dé");
    EXPECT_GT(inked(image), 0);
    EXPECT_LT(inked(image), drawn) << "the part past the right edge is cut";

    ImFontAtlas unbuilt;
    ImFont* bare = unbuilt.AddFontDefault();
    image.fill(kGround);
    image.text(*bare, ImVec2(2.0f, 2.0f), kInk, "Dé");
    EXPECT_EQ(inked(image), 0) << "an atlas without pixels draws nothing";
}

} // namespace
} // namespace torvane
