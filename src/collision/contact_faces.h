// Footprint faces for the contact test: which face of an object's footprint
// rectangle faces a point (the wedges cut by the two diagonals), the face's end
// points and outward normal, and which footprint corner leads in a direction.
//
// Faces by region code (object heading h, forward f, side s):
//   kFrontRegion   11: corner 0 -> corner 1, normal +f
//   kMinusSideRegion 7: corner 1 -> corner 2, normal -s
//   kRearRegion     4: corner 2 -> corner 3, normal -f
//   kPlusSideRegion  8: corner 3 -> corner 0, normal +s
// Corner numbers run 1..4 for corners 0..3, with kNoLeadingCorner (0) for none.
//
// Shortcoming: a point exactly on a diagonal counts on the diagonal's positive
// side, so ties between two faces go to whichever face that side holds.
#pragma once

#include "math/vector3.h"

namespace torvane {

class SceneObject;

inline constexpr int kRearRegion = 4;
inline constexpr int kMinusSideRegion = 7;
inline constexpr int kPlusSideRegion = 8;
inline constexpr int kFrontRegion = 11;

inline constexpr int kNoLeadingCorner = 0;

// Region code (4, 7, 8 or 11) of the face whose diagonal wedge holds point.
// Recomputes the object's footprint first.
int faceRegion(Vector3 point, SceneObject& object);

// Writes the object's contact face (start, end, outward unit normal) for a region
// code from the current footprint corners, without recomputing them. Any other
// code leaves the contact face unchanged.
void selectContactFace(int code, SceneObject& object);

// Number 1..4 of the corner of a footprint with forward axis `forward` that lies
// furthest along `direction`; kNoLeadingCorner when direction is square to forward.
int leadingCorner(Vector3 forward, Vector3 direction);

// Recomputes the object's footprint and returns corner number - 1. A number
// outside 1..4 names no corner and gives the object's centre.
Vector3 footprintCorner(int number, SceneObject& object);

} // namespace torvane
