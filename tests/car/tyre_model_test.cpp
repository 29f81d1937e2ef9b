#include <gtest/gtest.h>

#include "car/car.h"

namespace torvane {
namespace {

constexpr float kLoad = 1250.0f;
const Car kCar; // the built-in car

TEST(TyreModel, ForceCurvesAtNominalLoad)
{
    const float longitudinal[][2] = {{0.11f, 1931.7f}, {0.2f, 1452.2f}, {0.5f, 1194.0f}, {2.0f, 1120.3f}};
    for (const auto& [slip, force] : longitudinal) {
        EXPECT_NEAR(kCar.longitudinalTyreForce(slip, kLoad), force, 0.05f) << "slip ratio " << slip;
    }
    const float lateral[][2] = {{1, 1384.9f}, {2, 1963.2f}, {5, 2044.0f}, {10, 1724.2f}, {30, 1162.8f}};
    for (const auto& [slip, force] : lateral) {
        EXPECT_NEAR(kCar.lateralTyreForce(slip, kLoad), force, 0.05f) << "slip angle " << slip;
    }
    EXPECT_EQ(kCar.lateralTyreForce(0.0f, kLoad), 0.0f);
    EXPECT_EQ(kCar.longitudinalTyreForce(0.0f, kLoad), 0.0f);
}

TEST(TyreModel, OddAndBoundedByTheGripLimit)
{
    const float grip = kCar.gripLimit(kLoad);
    EXPECT_NEAR(grip, 2110.0f, 1e-3f);
    for (float slip = 0.01f; slip < 180.0f; slip *= 1.3f) {
        const float fx = kCar.longitudinalTyreForce(slip, kLoad);
        const float fy = kCar.lateralTyreForce(slip, kLoad);
        EXPECT_EQ(kCar.longitudinalTyreForce(-slip, kLoad), -fx);
        EXPECT_EQ(kCar.lateralTyreForce(-slip, kLoad), -fy);
        EXPECT_LE(fx * fx, grip * grip) << slip;
        EXPECT_LE(fy * fy, grip * grip) << slip;
    }
}

} // namespace
} // namespace torvane
