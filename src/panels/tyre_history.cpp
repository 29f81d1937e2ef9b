#include "panels/tyre_history.h"

#include <cmath>

namespace torvane {

BodyAcceleration bodyAcceleration(const Car& car)
{
    const Vector3 a = car.getAcceleration();
    const float heading = car.getHeading();
    const float s = std::sin(heading);
    const float c = std::cos(heading);
    // Forward (-sin h, 0, -cos h), side (cos h, 0, -sin h).
    return {-a.x * s - a.z * c, a.x * c - a.z * s};
}

void TyreHistory::record(const Car& car)
{
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        slipAngle[wheel].push(car.getSlipAngle(wheel));
        slipRatio[wheel].push(car.getSlipRatio(wheel));
        wheelSpeed[wheel].push(car.getWheelSpeed(wheel));
    }
    trail.push(bodyAcceleration(car));
}

void TyreHistory::clear()
{
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        slipAngle[wheel].clear();
        slipRatio[wheel].clear();
        wheelSpeed[wheel].clear();
    }
    trail.clear();
}

} // namespace torvane
