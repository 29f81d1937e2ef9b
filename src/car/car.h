// Car: the simulated vehicle, a SceneObject carrying the state of a planar
// four-wheel model. Wheels 0 and 1 are the front, steered wheels; 2 and 3 the rear.
//
// Units: world units and seconds; forces in newton-like units for a mass of
// 1000; angles in radians except steeringAngle and slipAngle, which are degrees.
// Body frame: forward (-sin h, 0, -cos h), side (cos h, 0, -sin h); a positive
// yaw rate increases the heading.
//
// Controls move the car by fixed steps per call (by default throttle 0.1,
// steering 10°), not scaled by the frame time; stepPhysics hands the controls
// back at its end. Every constant of the model comes from the car's
// CarParameters, which can be replaced while the car drives.
#pragma once

#include "car/car_parameters.h"
#include "car/car_state.h"
#include "world/scene_object.h"

namespace torvane {

inline constexpr int kWheelCount = 4;

class Car : public SceneObject {
public:
    explicit Car(const CarParameters& model = {});

    // The model's constants. Replacing them keeps the motion state and sets
    // every wheel's load to the new model's; the extents and the start pose
    // are the caller's to apply.
    const CarParameters& getParameters() const { return parameters; }
    void setParameters(const CarParameters& model);

    // Accelerator: +1 presses (throttle + throttleStep), -1 lifts; clamped to [0, 1].
    void pressThrottle(float amount);
    // Lets the accelerator come up by throttleRelease, not below 0.
    void releaseThrottle();
    // held: brake + brakeStep up to 1 and brakePressed set; not held: brake = 0.
    void pressBrake(bool held);
    // -1 steers left, +1 right, steeringStep degrees per call, within ±steeringLimit.
    void steer(float amount);
    // Moves the steering centringStep degrees towards the centre, snapping to 0 within ±centringSnap.
    void centreSteering();
    void setSteeringPressed(bool pressed) { steeringPressed = pressed; }
    void setThrottlePressed(bool pressed) { throttlePressed = pressed; }
    float getSteeringAngle() const { return steeringAngle; }
    void setSteeringAngle(float degrees) { steeringAngle = degrees; }
    // The accelerator and the brake pedal set directly (a pad's triggers), each 0..1.
    void setThrottle(float value) { throttle = value; }
    void setBrake(float value) { brake = value; }

    // Advances the car by dt seconds: slips, tyre forces, friction circle, wheel
    // spin, then Newmark integration of yaw and translation. dt is not clamped.
    void stepPhysics(float dt);

    // The car's tyre model for a wheel load fz (N). Slip ratio is unitless; slip angle in degrees.
    float gripLimit(float fz) const;
    float longitudinalTyreForce(float ratio, float fz) const;
    float lateralTyreForce(float slipAngleDegrees, float fz) const;

    Vector3 getVelocity() const { return velocity; }
    void setVelocity(float x, float y, float z) { velocity = {x, y, z}; }
    float getSpeed() const { return speed; }
    void setSpeed(float value) { speed = value; }
    Vector3 getLocalVelocity() const { return localVelocity; }
    Vector3 getPreviousVelocity() const { return previousVelocity; }
    Vector3 getAcceleration() const { return acceleration; }
    Vector3 getPreviousAcceleration() const { return previousAcceleration; }
    float getLongitudinalAccelerationReadout() const { return longitudinalAccelerationReadout; }
    // 0: yaw acceleration, 1: yaw rate, 2: heading, as the last step left them.
    // Another index asserts in debug builds and reads the nearest entry otherwise.
    float getAngularReadout(int index) const;
    float getYawRate() const { return yawRate; }
    float getYawAcceleration() const { return yawAcceleration; }
    float getPreviousYawRate() const { return previousYawRate; }
    float getPreviousYawAcceleration() const { return previousYawAcceleration; }
    float getThrottle() const { return throttle; }
    float getBrake() const { return brake; }
    bool isBrakePressed() const { return brakePressed; }

    // Per-wheel values; wheel is 0..3. Another index asserts in debug builds and
    // reads the nearest wheel otherwise, never outside the arrays.
    float getWheelSpeed(int wheel) const;
    float getWheelAngularAcceleration(int wheel) const;
    float getLongitudinalForce(int wheel) const;
    float getLateralForce(int wheel) const;
    float getSlipRatio(int wheel) const;
    float getSlipAngle(int wheel) const;
    float getWheelLoad(int wheel) const;  // N, the vertical load the tyre model is given

    // Sets the whole motion state at once, for tests and replays that start a
    // car moving: velocity and previousVelocity to v, every wheel to wheelSpeed.
    void setMotion(Vector3 v, float wheelSpeed);

private:
    // Copies the motion state between a Car and a CarState (car_state.cpp).
    template <typename From, typename To>
    friend void copyCarMotion(const From& from, To& to);

    CarParameters parameters;
    Vector3 velocity;              // world frame, units/s; y stays 0
    Vector3 previousVelocity;      // velocity at the end of the last step
    Vector3 localVelocity;         // x = forward speed, y = sideways speed, z unused
    Vector3 acceleration;          // world frame, units/s², of the last step
    Vector3 previousAcceleration;  // acceleration at the end of the last step
    float steeringAngle = 0.0f;    // degrees, within [-45, 45]; positive turns the heading up
    float wheelSpeed[kWheelCount] = {};                // rad/s, never negative after a step
    float wheelAngularAcceleration[kWheelCount] = {};  // rad/s²
    float wheelLoad[kWheelCount] = {};                 // vertical tyre load
    float lateralForce[kWheelCount] = {};              // across the wheel; front wheels in body frame after a step
    float longitudinalForce[kWheelCount] = {};         // along the wheel; likewise
    float slipRatio[kWheelCount] = {};                 // within [-2, 10]
    float slipAngle[kWheelCount] = {};                 // degrees, within [-180, 180]
    float previousYawAcceleration = 0.0f;
    float yawAcceleration = 0.0f;  // rad/s²
    float previousYawRate = 0.0f;
    float yawRate = 0.0f;          // rad/s
    float speed = 0.0f;            // |horizontal velocity|
    float throttle = 0.0f;         // 0..1
    bool throttlePressed = false;  // the accelerator key was held this frame
    float brake = 0.0f;            // 0..1; the physics applies no brake torque
    bool brakePressed = false;     // set by the brake key, never cleared
    bool steeringPressed = false;  // a steering key was held this frame
    float longitudinalAccelerationReadout = 0.0f;
    float angularReadout[3] = {};
};

} // namespace torvane
