// One physics step of the car: at rest, with a zero time step, at a standstill's
// yaw cut, and the slip angles and wheel stops at the edges of the equations.
#include <utility>

#include <gtest/gtest.h>

#include "car/car.h"

namespace torvane {
namespace {

constexpr float kFrameTime = 0.02f;

// One 0.02 s frame with the accelerator held and the steering held at degrees.
void driveFrame(Car& car, float degrees = 0.0f)
{
    car.pressThrottle(1.0f);
    car.setThrottlePressed(true);
    car.setSteeringAngle(degrees);
    car.setSteeringPressed(true);
    car.stepPhysics(kFrameTime);
}

// Drag, rolling wheels and the readouts of a moving car are read back in the golden drives.
TEST(CarPhysics, RestStaysExactlyAtRest)
{
    Car rest;
    rest.stepPhysics(kFrameTime);
    EXPECT_EQ(rest.getPosition(), Vector3{});
    EXPECT_EQ(rest.getVelocity(), Vector3{});
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        EXPECT_EQ(rest.getWheelSpeed(wheel) + rest.getSlipRatio(wheel) + rest.getSlipAngle(wheel)
                      + rest.getLongitudinalForce(wheel) + rest.getLateralForce(wheel), 0.0f);
    }
}

TEST(CarPhysics, ZeroTimeStepAndStandstillYawCut)
{
    Car car;
    for (int frame = 0; frame < 150; ++frame) {
        driveFrame(car, frame < 100 ? 0.0f : 20.0f);
    }
    ASSERT_GT(car.getYawRate(), 0.1f);

    Car frozen = car;
    frozen.stepPhysics(0.0f);
    EXPECT_EQ(frozen.getPosition(), car.getPosition());
    EXPECT_EQ(frozen.getVelocity(), car.getVelocity());
    EXPECT_EQ(frozen.getHeading(), car.getHeading());
    EXPECT_EQ(frozen.getYawRate(), car.getYawRate());
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        EXPECT_EQ(frozen.getWheelSpeed(wheel), car.getWheelSpeed(wheel));
    }
    EXPECT_EQ(frozen.getSteeringAngle(), 0.0f); // centred from 20 after the step
    EXPECT_NEAR(frozen.getThrottle(), 0.85f, 1e-6f);

    for (const auto& [vz, keepsYaw] : {std::pair{-0.09f, false}, {-0.1f, true}}) {
        Car slow = car;
        slow.setVelocity(0.0f, 0.0f, vz);
        slow.stepPhysics(0.0f);
        EXPECT_EQ(slow.getYawRate(), keepsYaw ? car.getYawRate() : 0.0f) << vz;
        EXPECT_EQ(slow.getAngularReadout(1), slow.getYawRate());
    }
}

TEST(CarPhysics, SlipAnglesAndAStoppingWheel)
{
    Car reversing;
    reversing.setVelocity(0.1f, 0.0f, 10.0f); // u = -10, w = 0.1
    reversing.stepPhysics(0.01f);
    EXPECT_NEAR(reversing.getSlipAngle(2), -179.43f, 0.01f);

    // u = 0.005 lies in the deadband, so every along is 0 even on a steered wheel.
    for (const auto& [w, steering] : {std::pair{0.2f, 0.0f}, {-0.2f, 0.0f}, {0.2f, 10.0f}, {-0.2f, -10.0f}}) {
        Car crabbing;
        crabbing.setVelocity(w, 0.0f, -0.005f);
        crabbing.setSteeringAngle(steering);
        crabbing.stepPhysics(0.01f);
        for (int wheel = 0; wheel < kWheelCount; ++wheel) {
            EXPECT_FLOAT_EQ(crabbing.getSlipAngle(wheel), w > 0.0f ? 90.0f : -90.0f) << wheel << " " << steering;
        }
    }

    Car overspinning;
    overspinning.setMotion({0.0f, 0.0f, -10.0f}, 40.0f); // slip ratio 0.2, pushing forwards
    overspinning.stepPhysics(1.0f);
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        EXPECT_EQ(overspinning.getWheelSpeed(wheel), 0.0f);
        EXPECT_NEAR(overspinning.getLongitudinalForce(wheel), -1452.2f, 0.05f);
    }
}

} // namespace
} // namespace torvane
