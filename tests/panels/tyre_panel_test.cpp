// The tyre panel draws the car's own tyre model: a car file with one tyre
// coefficient changed moves the drawn curve, and only that one; steady frames
// of both panels allocate nothing.
#include <gtest/gtest.h>

#include <string>

#include "car/car.h"
#include "carfile/car_file.h"
#include "support/headless_imgui.h"
#include "panels/panel_set.h"
#include "support/allocation_counter.h"
#include "support/shipped_car.h"

namespace torvane {
namespace {

TEST(TyrePanel, DrawsTheCurvesOfTheCarsFile)
{
    // The shipped car file with its lateral cornering stiffness raised.
    const CarFileReading stifferFile =
        parseCarFile(shippedCarText({{"lateral_stiffness_peak = 1363.32", "lateral_stiffness_peak = 2500.0"}}));
    ASSERT_TRUE(stifferFile.parameters.has_value());
    const Car stock;
    const Car stiffer(*stifferFile.parameters);
    HeadlessImGui imgui;
    TyrePanel panel(imgui);
    for (int frame = 0; frame < 3; ++frame) {
        imgui.quietFrame([&] { panel.draw(stock); }); // the window finds its size
    }
    const auto drawn = [&](const Car& car) {
        panel.forget();
        return imgui.frame([&] { panel.draw(car); });
    };
    const HeadlessPicture stockPicture = drawn(stock);
    const WheelCurves stockCurves = panel.shownCurves(2);
    const HeadlessPicture stifferPicture = drawn(stiffer);
    const WheelCurves& stifferCurves = panel.shownCurves(2);

    const float load = stiffer.getParameters().wheels.load;
    for (std::size_t index = 0; index < kCurveSamples; ++index) {
        const float slip = stifferCurves.lateral.slipAt(index);
        EXPECT_EQ(stifferCurves.lateral.force[index], stiffer.lateralTyreForce(slip, load)) << slip;
    }
    EXPECT_NE(stifferCurves.lateral.force, stockCurves.lateral.force);
    EXPECT_EQ(stifferCurves.longitudinal.force, stockCurves.longitudinal.force);
    EXPECT_NE(stifferPicture, stockPicture) << "the drawn lateral curves moved";
    EXPECT_EQ(drawn(stock), stockPicture) << "the same car draws the same picture";
}

TEST(PanelSet, SteadyFramesAllocateNothing)
{
    HeadlessImGui imgui;
    PanelSet panels(testing::TempDir(), imgui);
    panels.toggle(true, true);
    Car car;
    const auto driveAndDraw = [&](int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            car.pressThrottle(1.0f);
            car.steer(frame % 120 < 60 ? 1.0f : -1.0f);
            car.stepPhysics(1.0f / 60.0f);
            imgui.quietFrame([&] { panels.draw(car); });
        }
    };
    driveAndDraw(static_cast<int>(kHistoryFrames) + 30); // the charts are full
    const std::size_t ours = allocationCount();
    const std::size_t imguis = HeadlessImGui::imguiAllocations();
    driveAndDraw(600);
    EXPECT_EQ(allocationCount() - ours, 0u);
    EXPECT_EQ(HeadlessImGui::imguiAllocations() - imguis, 0u) << "ImGui's own buffers have settled too";
}

} // namespace
} // namespace torvane
