// Collision primitives: the small geometric functions the contact test is built
// from (side of a line in the x-z plane, ray against plane, point against plane
// with a tolerance, angle-sum point-in-triangle, nearest points on segments).
// They hold no state and know nothing of cars or the city.
//
// Shortcomings: the point-in-triangle test ignores the distance from the
// triangle's plane, and lineOffsetZ has no guard for a line parallel to z.
// Values that land within float error of a tolerance may come out either way.
#pragma once

#include "math/vector3.h"

namespace torvane {

// Where a point lies against a plane, with a tolerance of kPlaneTolerance.
enum class PlaneSide {
    Behind,  // opposite the normal by more than the tolerance
    InFront, // on the normal's side by more than the tolerance
    OnPlane, // within the tolerance
};

// World units.
inline constexpr float kPlaneTolerance = 0.001f;
// Radians: how far an angle sum may stray from a full turn and still count as inside.
inline constexpr double kAngleSumTolerance = 0.005;
// Result of rayPlaneParameter for a ray parallel to the plane.
inline constexpr float kParallelRay = -1.0f;

// z component of the cross product of a and b projected on the x-z plane.
float crossXZ(Vector3 a, Vector3 b);

// p.z minus the z of the line through a and b at x = p.x. Only its sign is
// meaningful, to compare two points against the same line; a.x = b.x follows
// IEEE division.
float lineOffsetZ(Vector3 a, Vector3 b, Vector3 p);

// Parameter t at which origin + t·direction meets the plane through planePoint
// with normal planeNormal; kParallelRay when the ray is parallel to the plane.
float rayPlaneParameter(Vector3 origin, Vector3 direction, Vector3 planePoint, Vector3 planeNormal);

PlaneSide classifyAgainstPlane(Vector3 point, Vector3 planePoint, Vector3 planeNormal);

// 1 when p lies in the triangle t0 t1 t2 by the angle-sum test, else 0. Points on
// an edge or a vertex, and sums that come out NaN, count as inside.
int pointInTriangle(Vector3 p, Vector3 t0, Vector3 t1, Vector3 t2);

// Nearest point to p on the segment s0–s1; s0 for a segment of zero length.
Vector3 closestPointOnSegment(const Vector3& s0, const Vector3& s1, const Vector3& p);

// Nearest point to p on the three edges t0–t1, t1–t2, t2–t0 (not the interior);
// on a tie the earlier edge wins.
Vector3 closestPointOnTriangleEdges(Vector3 t0, Vector3 t1, Vector3 t2, Vector3 p);

} // namespace torvane
