// The car's physics step: per-wheel slips and tyre forces, the friction circle,
// wheel spin, then Newmark integration (γ = 0.5, β = 0.25) of yaw and of the
// horizontal translation. Every intermediate is a 32-bit float, evaluated in
// the order written; every model constant is read from the car's parameters.
#include "car/car.h"

#include "math/float_math.h"

namespace torvane {

namespace {

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
float slipAngleDegrees(float along, float across, const SlipParameters& slip)
{
    float angle = 0.0f;
    if (insideBand(across, slip.angleDeadband)) {
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

// Slip ratio of a wheel of radius (u) spinning at wheelSpeed (rad/s) over ground moving `along` it.
float slipRatioOf(float along, float wheelSpeed, float throttle, float radius, const SlipParameters& slip)
{
    float ratio = 0.0f;
    if (insideBand(along, slip.velocityDeadband)) {
        ratio = (wheelSpeed != 0.0f && throttle > 0.0f) ? slip.spinStartRatio : 0.0f;
    } else {
        ratio = (radius * wheelSpeed - along) / fabsf(along);
    }
    if (ratio > slip.maxRatio) {
        ratio = slip.maxRatio;
    }
    if (ratio < slip.minRatio) {
        ratio = slip.minRatio;
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
    const BodyParameters& body = parameters.body;
    const WheelParameters& wheels = parameters.wheels;
    const ResistanceParameters& resistance = parameters.resistance;
    const SlipParameters& slip = parameters.slip;
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
    const bool stillAlong = insideBand(u, slip.velocityDeadband);
    const bool stillAcross = insideBand(w, slip.velocityDeadband);

    for (int i = 0; i < kWheelCount; ++i) {
        // Contact-point velocity along and across the wheel; wheels 0 and 2 on one side.
        const float p = (i % 2 == 0) ? u - body.halfTrack * r : u + body.halfTrack * r;
        float along = p;
        float across = 0.0f;
        if (i < kFrontWheels) {
            const float q = body.frontAxle * r + w;
            along = cosSteer * p + sinSteer * q;
            across = -sinSteer * p + cosSteer * q;
        } else {
            across = w - body.rearAxle * r;
        }
        if (stillAlong) {
            along = 0.0f;
        }
        if (stillAcross) {
            across = 0.0f;
        }

        slipAngle[i] = slipAngleDegrees(along, across, slip);
        slipRatio[i] = slipRatioOf(along, wheelSpeed[i], throttle, wheels.radius, slip);

        if (slipRatio[i] >= -slip.ratioDeadband && slipRatio[i] <= slip.ratioDeadband) {
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

        wheelAngularAcceleration[i] = (wheels.driveTorque * throttle - wheels.brakeTorque
                                       - wheels.radius * longitudinalForce[i] - wheels.damping * wheelSpeed[i])
                                      / wheels.inertia;
        wheelSpeed[i] += dt * wheelAngularAcceleration[i] / wheels.speedDivisor;
        // A wheel cannot spin backwards: it stops, and a force that pushed the
        // way the car moves turns round.
        if (wheelSpeed[i] < 0.0f) {
            wheelSpeed[i] = 0.0f;
            if (longitudinalForce[i] * u > 0.0f) {
                longitudinalForce[i] = -longitudinalForce[i];
            }
        }
    }

    const float dragLongitudinal =
        -(resistance.longitudinalDragLinear * u + resistance.longitudinalDragQuadratic * u * fabsf(u));
    const float dragLateral = -(resistance.lateralDragLinear * w + resistance.lateralDragQuadratic * w * fabsf(w));
    const float forceLongitudinal = longitudinalForce[0] + longitudinalForce[1] + longitudinalForce[2]
                                    + longitudinalForce[3] + dragLongitudinal;
    const float forceLateral = lateralForce[0] + lateralForce[1] + lateralForce[2] + lateralForce[3] + dragLateral;

    const float yawMoment = -body.halfTrack
                                * (longitudinalForce[1] - longitudinalForce[0] + longitudinalForce[3]
                                   - longitudinalForce[2])
                            + body.frontAxle * (lateralForce[0] + lateralForce[1])
                            - body.rearAxle * (lateralForce[2] + lateralForce[3]);
    yawAcceleration =
        (yawMoment - resistance.yawDampingLinear * r - resistance.yawDampingQuadratic * r * fabsf(r)) / body.yawInertia;

    const float al = forceLongitudinal / body.mass - r * w;
    const float aw = forceLateral / body.mass - r * u;
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
    if (speed < body.standstillSpeed) {
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
