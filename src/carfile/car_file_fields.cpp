#include "carfile/car_file_fields.h"

namespace torvane {
namespace {

// The ranges keep every division of the physics step away from zero (masses,
// inertias, radii, loads, deadbands and divisors are above 0) and every value
// far from overflowing a float; within them any car drives without a NaN.
constexpr CarFileField kFields[] = {
    {"body", "mass", [](CarParameters& p) -> float& { return p.body.mass; }, 0.0f, 1e6f, true},
    {"body", "yaw_inertia", [](CarParameters& p) -> float& { return p.body.yawInertia; }, 0.0f, 1e8f, true},
    {"body", "front_axle", [](CarParameters& p) -> float& { return p.body.frontAxle; }, 0.0f, 100.0f, false},
    {"body", "rear_axle", [](CarParameters& p) -> float& { return p.body.rearAxle; }, 0.0f, 100.0f, false},
    {"body", "half_track", [](CarParameters& p) -> float& { return p.body.halfTrack; }, 0.0f, 100.0f, false},
    {"body", "standstill_speed", [](CarParameters& p) -> float& { return p.body.standstillSpeed; }, 0.0f, 100.0f,
     false},

    {"wheels", "radius", [](CarParameters& p) -> float& { return p.wheels.radius; }, 0.0f, 10.0f, true},
    {"wheels", "inertia", [](CarParameters& p) -> float& { return p.wheels.inertia; }, 0.0f, 1e4f, true},
    {"wheels", "damping", [](CarParameters& p) -> float& { return p.wheels.damping; }, 0.0f, 1e6f, false},
    {"wheels", "drive_torque", [](CarParameters& p) -> float& { return p.wheels.driveTorque; }, 0.0f, 1e7f, false},
    {"wheels", "brake_torque", [](CarParameters& p) -> float& { return p.wheels.brakeTorque; }, 0.0f, 1e7f, false},
    {"wheels", "speed_divisor", [](CarParameters& p) -> float& { return p.wheels.speedDivisor; }, 0.0f, 1000.0f,
     true},
    {"wheels", "load", [](CarParameters& p) -> float& { return p.wheels.load; }, 0.0f, 1e6f, true},

    {"resistance", "yaw_damping_linear", [](CarParameters& p) -> float& { return p.resistance.yawDampingLinear; },
     0.0f, 1e6f, false},
    {"resistance", "yaw_damping_quadratic",
     [](CarParameters& p) -> float& { return p.resistance.yawDampingQuadratic; }, 0.0f, 1e6f, false},
    {"resistance", "longitudinal_drag_linear",
     [](CarParameters& p) -> float& { return p.resistance.longitudinalDragLinear; }, 0.0f, 1e6f, false},
    {"resistance", "longitudinal_drag_quadratic",
     [](CarParameters& p) -> float& { return p.resistance.longitudinalDragQuadratic; }, 0.0f, 1e6f, false},
    {"resistance", "lateral_drag_linear", [](CarParameters& p) -> float& { return p.resistance.lateralDragLinear; },
     0.0f, 1e6f, false},
    {"resistance", "lateral_drag_quadratic",
     [](CarParameters& p) -> float& { return p.resistance.lateralDragQuadratic; }, 0.0f, 1e6f, false},

    {"slip", "velocity_deadband", [](CarParameters& p) -> float& { return p.slip.velocityDeadband; }, 0.0f, 10.0f,
     true},
    {"slip", "angle_deadband", [](CarParameters& p) -> float& { return p.slip.angleDeadband; }, 0.0f, 10.0f, true},
    {"slip", "ratio_deadband", [](CarParameters& p) -> float& { return p.slip.ratioDeadband; }, 0.0f, 10.0f, false},
    {"slip", "spin_start_ratio", [](CarParameters& p) -> float& { return p.slip.spinStartRatio; }, -100.0f, 100.0f,
     false},
    {"slip", "min_ratio", [](CarParameters& p) -> float& { return p.slip.minRatio; }, -100.0f, 0.0f, false},
    {"slip", "max_ratio", [](CarParameters& p) -> float& { return p.slip.maxRatio; }, 0.0f, 100.0f, false},

    {"tyres", "grip_factor", [](CarParameters& p) -> float& { return p.tyres.gripFactor; }, 0.0f, 100.0f, true},
    {"tyres", "longitudinal_stiffness", [](CarParameters& p) -> float& { return p.tyres.longitudinalStiffness; },
     0.0f, 100.0f, true},
    {"tyres", "longitudinal_curvature", [](CarParameters& p) -> float& { return p.tyres.longitudinalCurvature; },
     -100.0f, 1.0f, false},
    {"tyres", "longitudinal_shape", [](CarParameters& p) -> float& { return p.tyres.longitudinalShape; }, 0.0f,
     10.0f, true},
    {"tyres", "lateral_curvature_per_load",
     [](CarParameters& p) -> float& { return p.tyres.lateralCurvaturePerLoad; }, -100.0f, 100.0f, false},
    {"tyres", "lateral_stiffness_peak", [](CarParameters& p) -> float& { return p.tyres.lateralStiffnessPeak; },
     0.0f, 1e7f, true},
    {"tyres", "lateral_stiffness_load", [](CarParameters& p) -> float& { return p.tyres.lateralStiffnessLoad; },
     0.0f, 1e7f, true},
    {"tyres", "lateral_shape", [](CarParameters& p) -> float& { return p.tyres.lateralShape; }, 0.0f, 10.0f, true},

    {"controls", "throttle_step", [](CarParameters& p) -> float& { return p.controls.throttleStep; }, 0.0f, 1.0f,
     true},
    {"controls", "throttle_release", [](CarParameters& p) -> float& { return p.controls.throttleRelease; }, 0.0f,
     1.0f, false},
    {"controls", "brake_step", [](CarParameters& p) -> float& { return p.controls.brakeStep; }, 0.0f, 1.0f, true},
    {"controls", "steering_step", [](CarParameters& p) -> float& { return p.controls.steeringStep; }, 0.0f, 90.0f,
     true},
    {"controls", "steering_limit", [](CarParameters& p) -> float& { return p.controls.steeringLimit; }, 0.0f, 90.0f,
     false},
    {"controls", "centring_step", [](CarParameters& p) -> float& { return p.controls.centringStep; }, 0.0f, 90.0f,
     false},
    {"controls", "centring_snap", [](CarParameters& p) -> float& { return p.controls.centringSnap; }, 0.0f, 90.0f,
     false},

    {"extents", "bounding_radius", [](CarParameters& p) -> float& { return p.extents.boundingRadius; }, 0.0f,
     1000.0f, true},
    {"extents", "footprint_length", [](CarParameters& p) -> float& { return p.extents.footprintLength; }, 0.0f,
     1000.0f, true},
    {"extents", "footprint_width", [](CarParameters& p) -> float& { return p.extents.footprintWidth; }, 0.0f,
     1000.0f, true},

    {"start", "x", [](CarParameters& p) -> float& { return p.start.position.x; }, -1e5f, 1e5f, false},
    {"start", "y", [](CarParameters& p) -> float& { return p.start.position.y; }, -1e5f, 1e5f, false},
    {"start", "z", [](CarParameters& p) -> float& { return p.start.position.z; }, -1e5f, 1e5f, false},
    {"start", "heading", [](CarParameters& p) -> float& { return p.start.heading; }, -1000.0f, 1000.0f, false},
};

} // namespace

std::span<const CarFileField> carFileFields()
{
    return kFields;
}

bool acceptsValue(const CarFileField& field, float value)
{
    const bool aboveLowest = field.lowestExcluded ? value > field.lowest : value >= field.lowest;
    return aboveLowest && value <= field.highest;
}

} // namespace torvane
