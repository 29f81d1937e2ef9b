// CarState: every value of a Car that moves while it drives (pose, velocities,
// accelerations, the wheel arrays, the yaw terms, the controls and the
// readouts) as one plain value. Restoring a captured state and stepping on is
// bit for bit the same as stepping on from where it was captured, so a replay
// can start from, or jump to, any captured frame.
//
// Shortcoming: the car's model (CarParameters) and its mesh are not part of the
// state: the car restored into must already have the model it had.
#pragma once

#include <cstdint>

#include "math/vector3.h"

namespace torvane {

class Car;

inline constexpr int kCarStateWheels = 4;

struct CarState {
    Vector3 position;     // world units
    float heading = 0.0f; // radians
    Vector3 scale{1.0f, 1.0f, 1.0f};
    Vector3 velocity; // world frame, units/s
    Vector3 previousVelocity;
    Vector3 localVelocity;
    Vector3 acceleration; // units/s²
    Vector3 previousAcceleration;
    float steeringAngle = 0.0f;                           // degrees
    float wheelSpeed[kCarStateWheels] = {};               // rad/s
    float wheelAngularAcceleration[kCarStateWheels] = {}; // rad/s²
    float wheelLoad[kCarStateWheels] = {};
    float lateralForce[kCarStateWheels] = {};
    float longitudinalForce[kCarStateWheels] = {};
    float slipRatio[kCarStateWheels] = {};
    float slipAngle[kCarStateWheels] = {}; // degrees
    float previousYawAcceleration = 0.0f;
    float yawAcceleration = 0.0f; // rad/s²
    float previousYawRate = 0.0f;
    float yawRate = 0.0f;  // rad/s
    float speed = 0.0f;    // units/s
    float throttle = 0.0f; // 0..1
    bool throttlePressed = false;
    float brake = 0.0f; // 0..1
    bool brakePressed = false;
    bool steeringPressed = false;
    float longitudinalAccelerationReadout = 0.0f;
    float angularReadout[3] = {};
};

// Calls visit(field) on every field of state, in one fixed order: each float,
// then each bool, as they are declared. Hashing, writing and reading a state
// all walk this one list, so none of them can forget a field.
template <typename State, typename Visit>
void visitCarStateFields(State& state, Visit&& visit)
{
    auto vector = [&visit](auto& v) {
        visit(v.x);
        visit(v.y);
        visit(v.z);
    };
    auto wheels = [&visit](auto& values) {
        for (auto& value : values) {
            visit(value);
        }
    };
    vector(state.position);
    visit(state.heading);
    vector(state.scale);
    vector(state.velocity);
    vector(state.previousVelocity);
    vector(state.localVelocity);
    vector(state.acceleration);
    vector(state.previousAcceleration);
    visit(state.steeringAngle);
    wheels(state.wheelSpeed);
    wheels(state.wheelAngularAcceleration);
    wheels(state.wheelLoad);
    wheels(state.lateralForce);
    wheels(state.longitudinalForce);
    wheels(state.slipRatio);
    wheels(state.slipAngle);
    visit(state.previousYawAcceleration);
    visit(state.yawAcceleration);
    visit(state.previousYawRate);
    visit(state.yawRate);
    visit(state.speed);
    visit(state.throttle);
    visit(state.brake);
    visit(state.longitudinalAccelerationReadout);
    wheels(state.angularReadout);
    visit(state.throttlePressed);
    visit(state.brakePressed);
    visit(state.steeringPressed);
}

// The car's motion state as it stands.
CarState captureCarState(const Car& car);
// Puts state back into car; its model, extents and mesh stay as they are.
void restoreCarState(Car& car, const CarState& state);
// A 64-bit hash (FNV-1a) over the bit pattern of every field in visit order:
// two states hash alike when every float is the same to the bit (so -0 and 0
// differ, as they may steer the next step differently).
std::uint64_t carStateHash(const CarState& state);

} // namespace torvane
