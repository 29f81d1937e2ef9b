#include "collision/primitives.h"

#include <cmath>

#include "math/float_math.h"

namespace torvane {

float crossXZ(Vector3 a, Vector3 b)
{
    return a.x * b.z - a.z * b.x;
}

float lineOffsetZ(Vector3 a, Vector3 b, Vector3 p)
{
    return p.z - ((a.z - b.z) * p.x + crossXZ(a, b)) / (a.x - b.x);
}

float rayPlaneParameter(Vector3 origin, Vector3 direction, Vector3 planePoint, Vector3 planeNormal)
{
    const float denominator = dot(planeNormal, direction);
    if (denominator == 0.0f) {
        return kParallelRay;
    }
    return -(dot(planeNormal, origin - planePoint) / denominator);
}

PlaneSide classifyAgainstPlane(Vector3 point, Vector3 planePoint, Vector3 planeNormal)
{
    const double distance = dot(planePoint - point, planeNormal);
    const double tolerance = kPlaneTolerance;
    if (distance < -tolerance) {
        return PlaneSide::InFront;
    }
    if (distance > tolerance) {
        return PlaneSide::Behind;
    }
    return PlaneSide::OnPlane;
}

int pointInTriangle(Vector3 p, Vector3 t0, Vector3 t1, Vector3 t2)
{
    Vector3 a = p - t0;
    Vector3 b = p - t1;
    Vector3 c = p - t2;
    normalize(a);
    normalize(b);
    normalize(c);
    const double sum = std::acos(static_cast<double>(dot(a, b))) + std::acos(static_cast<double>(dot(b, c))) +
                       std::acos(static_cast<double>(dot(c, a)));
    // p on a vertex normalises a zero vector, and float error can push a dot
    // product just outside [-1, 1]: both make the sum NaN, and both mean p is
    // on or at the edge of the triangle.
    if (std::isnan(sum)) {
        return 1;
    }
    const double fullTurn = kTwoPi;
    return std::fabs(sum - fullTurn) <= kAngleSumTolerance ? 1 : 0;
}

Vector3 closestPointOnSegment(const Vector3& s0, const Vector3& s1, const Vector3& p)
{
    Vector3 direction = s1 - s0;
    const double segmentLength = length(direction);
    // A zero-length segment has no direction to project on (normalising would give NaN).
    if (segmentLength == 0.0) {
        return s0;
    }
    normalize(direction);
    const float along = dot(direction, p - s0);
    if (along < 0.0f) {
        return s0;
    }
    if (along > segmentLength) {
        return s1;
    }
    return s0 + along * direction;
}

Vector3 closestPointOnTriangleEdges(Vector3 t0, Vector3 t1, Vector3 t2, Vector3 p)
{
    const Vector3 candidates[3] = {
        closestPointOnSegment(t0, t1, p),
        closestPointOnSegment(t1, t2, p),
        closestPointOnSegment(t2, t0, p),
    };
    Vector3 best = candidates[0];
    double bestDistance = length(p - candidates[0]);
    for (int edge = 1; edge < 3; ++edge) {
        const double distance = length(p - candidates[edge]);
        if (distance < bestDistance) {
            best = candidates[edge];
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace torvane
