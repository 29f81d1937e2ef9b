// The car's controls: the pedals released and floored, the steering centred, and
// wheel indices outside the car's arrays.
#include <vector>

#include <gtest/gtest.h>

#include "car/car.h"

namespace torvane {
namespace {

TEST(CarControls, ReleasedPedalsAndTheThrottlesFloor)
{
    // The pedals' ceiling of 1 is held by the keys: KeyboardInput.DrivingKeys.
    Car car;
    car.pressBrake(true);
    car.pressBrake(false);
    EXPECT_EQ(car.getBrake(), 0.0f);
    EXPECT_TRUE(car.isBrakePressed());
    car.pressThrottle(1.0f);
    car.releaseThrottle();
    EXPECT_EQ(car.getThrottle(), 0.0f);
    car.pressThrottle(0.5f);
    car.pressThrottle(-1.0f);
    EXPECT_EQ(car.getThrottle(), 0.0f);
}

// The steering's steps to its right lock are read back in the golden circle drive.
TEST(CarControls, SteeringCentring)
{
    Car car;
    const std::vector<std::vector<float>> sequences = {
        {45, 25, 5, 0}, {40, 20, 0}, {30, 10, -10, 10, -10}, {7.9f, 0}, {-7.9f, 0}, {-8, 12}, {0, 0}};
    for (const auto& sequence : sequences) {
        car.setSteeringAngle(sequence[0]);
        for (std::size_t call = 1; call < sequence.size(); ++call) {
            car.centreSteering();
            EXPECT_EQ(car.getSteeringAngle(), sequence[call]) << "from " << sequence[0] << ", call " << call;
        }
    }
}

TEST(CarControls, IndexOutsideRangeNeverReadsPastTheArrays)
{
    Car car;
    car.setMotion({0.0f, 0.0f, -10.0f}, 5.0f);
    EXPECT_DEBUG_DEATH(EXPECT_EQ(car.getWheelSpeed(4), 5.0f), "");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(car.getSlipAngle(-1), 0.0f), "");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(car.getAngularReadout(3), 0.0f), "");
}

} // namespace
} // namespace torvane
