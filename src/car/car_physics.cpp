// The car's physics step: per-wheel slips and tyre forces, the friction circle,
// wheel spin, then Newmark integration (γ = 0.5, β = 0.25) of yaw and of the
// horizontal translation. Every intermediate is a 32-bit float, evaluated in
// the order written.
#include "car/car.h"

#include "math/float_math.h"

namespace torvane {

namespace {

constexpr float kMass = 1000.0f;
constexpr float kYawInertia = 4000.0f;
constexpr float kWheelRadius = 0.3f;
constexpr float kWheelInertia = 0.2f;
constexpr float kWheelDamping = 1.0f;       // torque per rad/s of wheel speed
constexpr float kFrontAxle = 4.0f;          // ahead of the reference point
constexpr float kRearAxle = 0.0f;           // behind the reference point
constexpr float kHalfTrack = 0.0f;          // sideways offset of each wheel
constexpr float kDriveTorque = 4000.0f;     // per wheel at full throttle
constexpr float kBrakeTorque = 0.0f;        // the brake pedal is not wired to the wheels
constexpr float kYawDampingLinear = 30.0f;
constexpr float kYawDampingQuadratic = 4.0f;
constexpr float kLongitudinalDragLinear = 10.0f;
constexpr float kLongitudinalDragQuadratic = 2.5f;
constexpr float kLateralDragLinear = 20.0f;
constexpr float kLateralDragQuadratic = 3.5f;
constexpr float kVelocityDeadband = 0.01f;
constexpr float kSlipAngleDeadband = 0.1f;
constexpr float kSlipRatioDeadband = 0.1f;
constexpr float kSpinStartSlipRatio = 10.0f;
constexpr float kMaxSlipRatio = 10.0f;
constexpr float kMinSlipRatio = -2.0f;
constexpr float kWheelSpeedDivisor = 4.0f;
constexpr float kStandstillSpeed = 0.1f;
// Newmark weights: 1 − γ = γ for velocities and 1 − 2β = 2β for positions.
constexpr float kNewmarkWeight = 0.5f;
constexpr int kFrontWheels = 2;             // wheels 0 and 1 steer

// True for -limit < value < limit.
bool insideBand(float value, float limit)
{
    return value > -limit && value < limit;
}

// Slip angle in degrees of a contact point moving `along` and `across` its wheel.
// A point with along exactly +0 gives an infinite quotient and so ±90°.
float slipAngleDegrees(float along, float across)
{
    float angle = 0.0f;
    if (insideBand(across, kSlipAngleDeadband)) {
        angle = 0.0f;
    } else if (along > 0.0f) {
        angle = -atanf(across / along);
    } else {
        angle = atanf(across / (-along)) - signOf(across) * kPi;
    }
    if (angle > kPi) {
        angle -= kTwoPi;
    }
    if (angle < -kPi) {
        angle += kTwoPi;
    }
    return angle * kDegreesPerRadian;
}

// Slip ratio of a wheel spinning at wheelSpeed (rad/s) over ground moving `along` it.
float slipRatioOf(float along, float wheelSpeed, float throttle)
{
    float ratio = 0.0f;
    if (insideBand(along, kVelocityDeadband)) {
        ratio = (wheelSpeed != 0.0f && throttle > 0.0f) ? kSpinStartSlipRatio : 0.0f;
    } else {
        ratio = (kWheelRadius * wheelSpeed - along) / fabsf(along);
    }
    if (ratio > kMaxSlipRatio) {
        ratio = kMaxSlipRatio;
    }
    if (ratio < kMinSlipRatio) {
        ratio = kMinSlipRatio;
    }
    return ratio;
}

// 0.5·previous + 0.5·current: the averaged acceleration of both Newmark updates.
float newmarkAverage(float previous, float current)
{
    return kNewmarkWeight * previous + kNewmarkWeight * current;
}

} // namespace

void Car::stepPhysics(float dt)
{
    const float steer = steeringAngle * kPi / 180.0f;
    const float cosSteer = cosf(steer);
    const float sinSteer = sinf(steer);
    const float sinHeading = sinf(heading);
    const float cosHeading = cosf(heading);
    const float r = yawRate;

    // Body-frame velocity: u forward, w sideways.
    const float u = -sinHeading * velocity.x - cosHeading * velocity.z;
    const float w = cosHeading * velocity.x - sinHeading * velocity.z;
    localVelocity.x = u;
    localVelocity.y = w;
    const bool stillAlong = insideBand(u, kVelocityDeadband);
    const bool stillAcross = insideBand(w, kVelocityDeadband);

    for (int i = 0; i < kWheelCount; ++i) {
        // Contact-point velocity along and across the wheel; wheels 0 and 2 on one side.
        const float p = (i % 2 == 0) ? u - kHalfTrack * r : u + kHalfTrack * r;
        float along = p;
        float across = 0.0f;
        if (i < kFrontWheels) {
            const float q = kFrontAxle * r + w;
            along = cosSteer * p + sinSteer * q;
            across = -sinSteer * p + cosSteer * q;
        } else {
            across = w - kRearAxle * r;
        }
        if (stillAlong) {
            along = 0.0f;
        }
        if (stillAcross) {
            across = 0.0f;
        }

        slipAngle[i] = slipAngleDegrees(along, across);
        slipRatio[i] = slipRatioOf(along, wheelSpeed[i], throttle);

        if (slipRatio[i] >= -kSlipRatioDeadband && slipRatio[i] <= kSlipRatioDeadband) {
            longitudinalForce[i] = 0.0f;
        } else {
            longitudinalForce[i] = longitudinalTyreForce(slipRatio[i], wheelLoad[i]);
        }
        const float grip = gripLimit(wheelLoad[i]);
        lateralForce[i] = lateralTyreForce(slipAngle[i], wheelLoad[i]);

        // Friction circle: the lateral force gives way to the longitudinal one.
        const float fx = longitudinalForce[i];
        const float fy = lateralForce[i];
        if (grip * grip <= fx * fx + fy * fy) {
            lateralForce[i] = signOf(fy) * sqrtf(grip * grip - fx * fx);
        }

        // Front wheels' forces turned from the wheel frame into the body frame.
        if (i < kFrontWheels) {
            const float wheelFx = longitudinalForce[i];
            const float wheelFy = lateralForce[i];
            longitudinalForce[i] = cosSteer * wheelFx - sinSteer * wheelFy;
            lateralForce[i] = sinSteer * wheelFx + cosSteer * wheelFy;
        }

        wheelAngularAcceleration[i] = (kDriveTorque * throttle - kBrakeTorque - kWheelRadius * longitudinalForce[i]
                                       - kWheelDamping * wheelSpeed[i])
                                      / kWheelInertia;
        wheelSpeed[i] += dt * wheelAngularAcceleration[i] / kWheelSpeedDivisor;
        // A wheel cannot spin backwards: it stops, and a force that pushed the
        // way the car moves turns round.
        if (wheelSpeed[i] < 0.0f) {
            wheelSpeed[i] = 0.0f;
            if (longitudinalForce[i] * u > 0.0f) {
                longitudinalForce[i] = -longitudinalForce[i];
            }
        }
    }

    const float dragLongitudinal = -(kLongitudinalDragLinear * u + kLongitudinalDragQuadratic * u * fabsf(u));
    const float dragLateral = -(kLateralDragLinear * w + kLateralDragQuadratic * w * fabsf(w));
    const float forceLongitudinal = longitudinalForce[0] + longitudinalForce[1] + longitudinalForce[2]
                                    + longitudinalForce[3] + dragLongitudinal;
    const float forceLateral = lateralForce[0] + lateralForce[1] + lateralForce[2] + lateralForce[3] + dragLateral;

    const float yawMoment = -kHalfTrack
                                * (longitudinalForce[1] - longitudinalForce[0] + longitudinalForce[3]
                                   - longitudinalForce[2])
                            + kFrontAxle * (lateralForce[0] + lateralForce[1])
                            - kRearAxle * (lateralForce[2] + lateralForce[3]);
    yawAcceleration = (yawMoment - kYawDampingLinear * r - kYawDampingQuadratic * r * fabsf(r)) / kYawInertia;

    const float al = forceLongitudinal / kMass - r * w;
    const float aw = forceLateral / kMass - r * u;
    acceleration.x = -sinHeading * al + cosHeading * aw;
    acceleration.z = -cosHeading * al - sinHeading * aw;

    // Newmark integration: rates from the averaged accelerations, then heading and
    // position from the previous step's rates.
    const float averageYawAcceleration = newmarkAverage(previousYawAcceleration, yawAcceleration);
    const float averageAccelerationX = newmarkAverage(previousAcceleration.x, acceleration.x);
    const float averageAccelerationZ = newmarkAverage(previousAcceleration.z, acceleration.z);
    const float halfDtSquared = dt * dt / 2.0f;
    yawRate += dt * averageYawAcceleration;
    velocity.x += dt * averageAccelerationX;
    velocity.z += dt * averageAccelerationZ;
    heading += dt * previousYawRate + halfDtSquared * averageYawAcceleration;
    position.x += dt * previousVelocity.x + halfDtSquared * averageAccelerationX;
    position.z += dt * previousVelocity.z + halfDtSquared * averageAccelerationZ;

    speed = sqrtf(velocity.x * velocity.x + velocity.z * velocity.z);
    if (speed < kStandstillSpeed) {
        yawRate = 0.0f;
    }

    previousYawAcceleration = yawAcceleration;
    previousAcceleration.x = acceleration.x;
    previousAcceleration.z = acceleration.z;
    previousYawRate = yawRate;
    previousVelocity.x = velocity.x;
    previousVelocity.z = velocity.z;

    longitudinalAccelerationReadout = al - yawRate * w;
    angularReadout[0] = yawAcceleration;
    angularReadout[1] = yawRate;
    angularReadout[2] = heading;

    if (steeringPressed) {
        steeringPressed = false;
    } else {
        centreSteering();
    }
    if (throttlePressed) {
        throttlePressed = false;
    } else {
        releaseThrottle();
    }
}

} // namespace torvane
