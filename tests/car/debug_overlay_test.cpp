#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "car/debug_overlay.h"
#include "render/recording_device.h"

namespace torvane {
namespace {

TEST(DebugOverlay, FreshCarPrintsZerosInThreePlacedTexts)
{
    const Car car;
    OverlayTexts texts;
    formatOverlayTexts(car, texts);
    const std::string forces = texts.forces;
    EXPECT_TRUE(forces.starts_with("Fx1=0 Fx2=0 Fx3=0 Fx4=0 \n") && forces.ends_with("\n aa=0 va=0 an=0 ")) << forces;
    EXPECT_STREQ(texts.acceleration, " 0 ");
    EXPECT_STREQ(texts.velocity, "vx=0 vz=0");

    RecordingDevice device;
    device.createFont(20);
    device.clearLog();
    drawDebugOverlay(device, car);
    const std::vector<DeviceCall>& calls = device.getLog();
    ASSERT_EQ(calls.size(), 3u);
    const std::uint32_t formats[3] = {kTextLeftTop, kTextRight, kTextBottom};
    const char* expected[3] = {texts.forces, texts.acceleration, texts.velocity};
    for (std::size_t i = 0; i < 3; ++i) { // white, in the 500 × 500 rectangle at the top left corner
        const TextRect& rect = calls[i].rect;
        EXPECT_EQ(std::tuple(calls[i].operation, calls[i].value, static_cast<std::uint32_t>(calls[i].index)),
                  std::tuple(DeviceOperation::DrawText, formats[i], 0xFFFFFFFFu));
        EXPECT_EQ(std::tuple(rect.left, rect.top, rect.right, rect.bottom), std::tuple(0, 0, 500, 500)) << i;
        EXPECT_STREQ(device.textOf(calls[i]), expected[i]);
    }
}

TEST(DebugOverlay, SpeedsAndForcesPrintRoundedInTheCarsFrame)
{
    Car car;
    // Heading 0: forward is -z and the side axis +x.
    car.setMotion({-3.2f, 0.0f, -12.6f}, 12.6f / 0.3f);
    car.stepPhysics(0.0f);
    OverlayTexts texts;
    formatOverlayTexts(car, texts);
    EXPECT_STREQ(texts.velocity, "vx=13 vz=-3");
    // Six rows, each after the first starting with a blank.
    int rows = 1;
    for (const char* c = texts.forces; *c != '\0'; ++c) {
        if (*c == '\n') {
            ++rows;
            EXPECT_EQ(c[1], ' ');
        }
    }
    EXPECT_EQ(rows, 6);

    // A huge value is printed in full, not cut by a buffer.
    car.setMotion({0.0f, 0.0f, -3.0e38f}, 0.0f);
    car.stepPhysics(0.0f);
    formatOverlayTexts(car, texts);
    EXPECT_EQ(std::string(texts.velocity).size(), std::string("vx=300000000000000000000000000000000000000 vz=0").size())
        << texts.velocity;
}

} // namespace
} // namespace torvane
