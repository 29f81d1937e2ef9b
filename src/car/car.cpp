#include "car/car.h"

#include <algorithm>
#include <cassert>

namespace torvane {

namespace {

constexpr float kStartWheelLoad = 1250.0f;
constexpr float kThrottleStep = 0.1f;
constexpr float kThrottleRelease = 0.15f;
constexpr float kBrakeStep = 0.1f;
constexpr float kSteeringStep = 10.0f;      // degrees per call
constexpr float kSteeringLimit = 45.0f;     // degrees either way
constexpr float kCentringStep = 20.0f;      // degrees per call
constexpr float kCentringSnap = 8.0f;       // degrees: closer than this snaps to 0

// Asserts that index lies in 0..count-1, and clamps it there for builds without asserts.
int checkedIndex(int index, int count)
{
    assert(index >= 0 && index < count);
    return std::clamp(index, 0, count - 1);
}

} // namespace

Car::Car()
{
    std::fill(std::begin(wheelLoad), std::end(wheelLoad), kStartWheelLoad);
}

void Car::pressThrottle(float amount)
{
    throttle += amount * kThrottleStep;
    if (throttle > 1.0f) {
        throttle = 1.0f;
    }
    if (throttle < 0.0f) {
        throttle = 0.0f;
    }
}

void Car::releaseThrottle()
{
    if (throttle > 0.0f) {
        throttle -= kThrottleRelease;
    }
    if (throttle < 0.0f) {
        throttle = 0.0f;
    }
}

void Car::pressBrake(bool held)
{
    if (!held) {
        brake = 0.0f;
        return;
    }
    brake += kBrakeStep;
    if (brake > 1.0f) {
        brake = 1.0f;
    }
    brakePressed = true;
}

void Car::steer(float amount)
{
    steeringAngle += amount * kSteeringStep;
    if (steeringAngle > kSteeringLimit) {
        steeringAngle = kSteeringLimit;
    }
    if (steeringAngle < -kSteeringLimit) {
        steeringAngle = -kSteeringLimit;
    }
}

void Car::centreSteering()
{
    if (steeringAngle > 0.0f) {
        if (steeringAngle < kCentringSnap) {
            steeringAngle = 0.0f;
        } else {
            steeringAngle -= kCentringStep;
        }
    } else if (steeringAngle < 0.0f) {
        if (steeringAngle > -kCentringSnap) {
            steeringAngle = 0.0f;
        } else {
            steeringAngle += kCentringStep;
        }
    }
}

float Car::getAngularReadout(int index) const
{
    return angularReadout[checkedIndex(index, 3)];
}

float Car::getWheelSpeed(int wheel) const
{
    return wheelSpeed[checkedIndex(wheel, kWheelCount)];
}

float Car::getWheelAngularAcceleration(int wheel) const
{
    return wheelAngularAcceleration[checkedIndex(wheel, kWheelCount)];
}

float Car::getLongitudinalForce(int wheel) const
{
    return longitudinalForce[checkedIndex(wheel, kWheelCount)];
}

float Car::getLateralForce(int wheel) const
{
    return lateralForce[checkedIndex(wheel, kWheelCount)];
}

float Car::getSlipRatio(int wheel) const
{
    return slipRatio[checkedIndex(wheel, kWheelCount)];
}

float Car::getSlipAngle(int wheel) const
{
    return slipAngle[checkedIndex(wheel, kWheelCount)];
}

void Car::setMotion(Vector3 v, float wheelSpeedValue)
{
    velocity = v;
    previousVelocity = v;
    std::fill(std::begin(wheelSpeed), std::end(wheelSpeed), wheelSpeedValue);
}

} // namespace torvane
