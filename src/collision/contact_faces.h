// Footprint faces for the contact test: which face of a footprint faces a point
// (the wedges cut by the two diagonals), the face's end points and outward
// normal, and which footprint corner leads in a direction.
//
// Faces of a footprint with heading h, forward axis f and side axis s:
//   Front:     corner 0 -> corner 1, normal +f
//   MinusSide: corner 1 -> corner 2, normal -s
//   Rear:      corner 2 -> corner 3, normal -f
//   PlusSide:  corner 3 -> corner 0, normal +s
//
// Shortcoming: a point exactly on a diagonal counts on the diagonal's positive
// side, so ties between two faces go to whichever face that side holds.
#pragma once

#include <optional>

#include "math/vector3.h"
#include "world/footprint.h"

namespace torvane {

enum class Face { Front, MinusSide, Rear, PlusSide };

// A footprint face as a segment with its outward unit normal (y = 0).
struct FaceSegment {
    Vector3 start;
    Vector3 end;
    Vector3 normal;
};

// The face whose diagonal wedge holds point.
Face faceRegion(Vector3 point, const Footprint& footprint);

// End points and outward normal of a face of the footprint; heading (radians)
// is the footprint's own and forward its forward axis (forwardAxis(heading),
// which the caller has already): the side faces' normals are computed from
// heading, the others' taken from forward.
FaceSegment selectContactFace(Face face, const Footprint& footprint, Vector3 forward, float heading);

// Index 0..3 of the corner of a footprint with forward axis `forward` that lies
// furthest along `direction`; none when direction is square to forward (or NaN).
std::optional<int> leadingCorner(Vector3 forward, Vector3 direction);

} // namespace torvane
