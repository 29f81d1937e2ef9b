// CarParameters: every constant of the car's model in one plain value: the
// body, the wheels, the resistances, the slip thresholds, the tyre curves, the
// control steps, the collision extents and the start pose. A default-built
// value is the game's own car; a car file (src/carfile) gives another.
//
// Units: u the world unit, s seconds, N the force unit (newton-like for the
// default mass of 1000), angles in degrees where a field says so, else radians.
//
// Shortcoming: the values are not checked here; the car file's reader keeps
// each within the range its table gives.
#pragma once

#include "math/vector3.h"

namespace torvane {

struct BodyParameters {
    float mass = 1000.0f;          // mass units; N is the force unit for the default mass
    float yawInertia = 4000.0f;    // mass·u², about the vertical axis
    float frontAxle = 4.0f;        // u, front axle ahead of the reference point
    float rearAxle = 0.0f;         // u, rear axle behind the reference point
    float halfTrack = 0.0f;        // u, sideways offset of each wheel
    float standstillSpeed = 0.1f;  // u/s: below it the yaw rate is forced to 0

    bool operator==(const BodyParameters&) const = default;
};

struct WheelParameters {
    float radius = 0.3f;           // u
    float inertia = 0.2f;          // mass·u²
    float damping = 1.0f;          // N·u of torque per rad/s of wheel speed
    float driveTorque = 4000.0f;   // N·u per wheel at full throttle
    float brakeTorque = 0.0f;      // N·u per wheel; the brake pedal is not wired to it
    float speedDivisor = 4.0f;     // the wheel speed integrates 1/speedDivisor of its acceleration
    float load = 1250.0f;          // N, vertical load on each tyre

    bool operator==(const WheelParameters&) const = default;
};

struct ResistanceParameters {
    float yawDampingLinear = 30.0f;           // N·u per rad/s of yaw rate
    float yawDampingQuadratic = 4.0f;         // N·u per (rad/s)²
    float longitudinalDragLinear = 10.0f;     // N per u/s of forward speed
    float longitudinalDragQuadratic = 2.5f;   // N per (u/s)²
    float lateralDragLinear = 20.0f;          // N per u/s of sideways speed
    float lateralDragQuadratic = 3.5f;        // N per (u/s)²

    bool operator==(const ResistanceParameters&) const = default;
};

struct SlipParameters {
    float velocityDeadband = 0.01f;   // u/s: body and wheel speeds below it count as zero
    float angleDeadband = 0.1f;       // u/s: sideways contact speeds below it give no slip angle
    float ratioDeadband = 0.1f;       // slip ratios within ± it give no longitudinal force
    float spinStartRatio = 10.0f;     // slip ratio of a driven, turning wheel on a car at rest
    float minRatio = -2.0f;           // every slip ratio is clamped to [minRatio, maxRatio]
    float maxRatio = 10.0f;

    bool operator==(const SlipParameters&) const = default;
};

// The two Magic-Formula curves D·sin(S·atan(x + E·(atan x − x))), D = gripFactor × load.
// Longitudinal: x = longitudinalStiffness × (100 × slip ratio), E and S constant.
// Lateral, with the load Fz in N: E = 1 − lateralCurvaturePerLoad × Fz / 1000,
// x = slip angle (degrees) × lateralStiffnessPeak × sin(2 atan(Fz / lateralStiffnessLoad)) / Fz.
struct TyreParameters {
    float gripFactor = 1.688f;              // peak force per unit of load, also the friction circle's radius
    float longitudinalStiffness = 0.0822f;  // per percent of slip
    float longitudinalCurvature = -10.0f;   // E
    float longitudinalShape = 1.65f;        // S
    float lateralCurvaturePerLoad = 0.3589f; // E's drop per 1000 N of load
    float lateralStiffnessPeak = 1363.32f;   // N per degree, the cornering stiffness's peak
    float lateralStiffnessLoad = 6024.0f;    // N, the load of that peak's half-angle
    float lateralShape = 1.799f;             // S

    bool operator==(const TyreParameters&) const = default;
};

// Steps per call of the controls, not scaled by the frame time.
struct ControlParameters {
    float throttleStep = 0.1f;      // throttle per call of pressThrottle
    float throttleRelease = 0.15f;  // throttle per call of releaseThrottle
    float brakeStep = 0.1f;         // brake per call of pressBrake
    float steeringStep = 10.0f;     // degrees per call of steer
    float steeringLimit = 45.0f;    // degrees either way
    float centringStep = 20.0f;     // degrees per call of centreSteering
    float centringSnap = 8.0f;      // degrees: an angle closer to 0 than this snaps to 0

    bool operator==(const ControlParameters&) const = default;
};

// The collision extents; the physics reads none of them.
struct ExtentParameters {
    float boundingRadius = 6.5f;    // u
    float footprintLength = 11.4f;  // u, along the forward axis
    float footprintWidth = 4.8f;    // u

    bool operator==(const ExtentParameters&) const = default;
};

// Where the car stands when the game starts.
struct StartParameters {
    Vector3 position{0.0f, 2.0f, 2.0f};  // u
    float heading = 0.0f;                // radians

    bool operator==(const StartParameters&) const = default;
};

struct CarParameters {
    BodyParameters body;
    WheelParameters wheels;
    ResistanceParameters resistance;
    SlipParameters slip;
    TyreParameters tyres;
    ControlParameters controls;
    ExtentParameters extents;
    StartParameters start;

    bool operator==(const CarParameters&) const = default;
};

} // namespace torvane
