#include <gtest/gtest.h>

#include "car/car.h"

namespace torvane {
namespace {

constexpr float kLoad = 1250.0f;
const Car kCar; // the built-in car

TEST(TyreModel, OddAndBoundedByTheGripLimit)
{
    const float grip = kCar.gripLimit(kLoad);
    EXPECT_NEAR(grip, 2110.0f, 1e-3f);
    EXPECT_EQ(kCar.lateralTyreForce(0.0f, kLoad), 0.0f);
    EXPECT_EQ(kCar.longitudinalTyreForce(0.0f, kLoad), 0.0f);
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
