#include "car/car.h"

#include <algorithm>
#include <cassert>

namespace torvane {

namespace {

// Asserts that index lies in 0..count-1, and clamps it there for builds without asserts.
int checkedIndex(int index, int count)
{
    assert(index >= 0 && index < count);
    return std::clamp(index, 0, count - 1);
}

} // namespace

Car::Car(const CarParameters& model)
{
    setParameters(model);
}

void Car::setParameters(const CarParameters& model)
{
    parameters = model;
    std::fill(std::begin(wheelLoad), std::end(wheelLoad), parameters.wheels.load);
}

void Car::pressThrottle(float amount)
{
    throttle += amount * parameters.controls.throttleStep;
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
        throttle -= parameters.controls.throttleRelease;
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
    brake += parameters.controls.brakeStep;
    if (brake > 1.0f) {
        brake = 1.0f;
    }
    brakePressed = true;
}

void Car::steer(float amount)
{
    const float limit = parameters.controls.steeringLimit;
    steeringAngle += amount * parameters.controls.steeringStep;
    if (steeringAngle > limit) {
        steeringAngle = limit;
    }
    if (steeringAngle < -limit) {
        steeringAngle = -limit;
    }
}

void Car::centreSteering()
{
    const float snap = parameters.controls.centringSnap;
    const float step = parameters.controls.centringStep;
    if (steeringAngle > 0.0f) {
        if (steeringAngle < snap) {
            steeringAngle = 0.0f;
        } else {
            steeringAngle -= step;
        }
    } else if (steeringAngle < 0.0f) {
        if (steeringAngle > -snap) {
            steeringAngle = 0.0f;
        } else {
            steeringAngle += step;
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

float Car::getWheelLoad(int wheel) const
{
    return wheelLoad[checkedIndex(wheel, kWheelCount)];
}

void Car::setMotion(Vector3 v, float wheelSpeedValue)
{
    velocity = v;
    previousVelocity = v;
    std::fill(std::begin(wheelSpeed), std::end(wheelSpeed), wheelSpeedValue);
}

} // namespace torvane
