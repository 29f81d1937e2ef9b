#include "collision/contact_faces.h"

#include "collision/primitives.h"
#include "math/float_math.h"

namespace torvane {

Face faceRegion(Vector3 point, const Footprint& footprint)
{
    const auto& [c0, c1, c2, c3] = footprint.corners;
    // Diagonal 0-2 splits corner 1's side (front, -s side) from corner 3's;
    // diagonal 1-3 splits corner 0's side (front, +s side) from corner 2's.
    const bool onCorner1Side = signOf(lineOffsetZ(c0, c2, point)) == signOf(lineOffsetZ(c0, c2, c1));
    const bool onCorner0Side = signOf(lineOffsetZ(c1, c3, point)) == signOf(lineOffsetZ(c1, c3, c0));
    if (onCorner1Side) {
        return onCorner0Side ? Face::Front : Face::MinusSide;
    }
    return onCorner0Side ? Face::PlusSide : Face::Rear;
}

FaceSegment selectContactFace(Face face, const Footprint& footprint, Vector3 forward, float heading)
{
    const auto& [c0, c1, c2, c3] = footprint.corners;
    const auto minusSide = [heading] { return Vector3(cosf(heading + kPi), 0.0f, sinf(heading)); };
    switch (face) {
    case Face::Front:
        return {c0, c1, forward};
    case Face::MinusSide:
        return {c1, c2, minusSide()};
    case Face::Rear:
        return {c2, c3, -forward};
    case Face::PlusSide:
        return {c3, c0, -minusSide()};
    }
    return {c0, c1, forward}; // not reached: every face is handled above
}

std::optional<int> leadingCorner(Vector3 forward, Vector3 direction)
{
    const float along = dot(forward, direction);
    const float across = dot(Vector3(-forward.z, 0.0f, forward.x), direction);
    if (along > 0.0f) {
        return across > 0.0f ? 0 : 1;
    }
    if (along < 0.0f) {
        return across > 0.0f ? 3 : 2;
    }
    // Square to the forward axis (or NaN): no corner leads.
    return std::nullopt;
}

} // namespace torvane
