// Contact test of the car against one collision volume whose bounding circle
// already overlaps the car's. One face of the volume's footprint is chosen (the
// one whose diagonal wedge holds the car's centre) and raised into a wall 10
// units high; then either the car corner leading towards that face is followed
// along the car's forward axis to the wall (corner through face), or, when that
// line misses the wall, the wall point nearest the crossing is tested against
// the car's footprint (edge into car).
//
// The correction always acts along the car's forward axis, never along the face
// normal: a nearly glancing approach gives a correction of the whole distance to
// the face's plane, many times the penetration. The edge-into-car way only
// reports contact for a point more than half the plane tolerance inside the car.
#pragma once

#include "collision/contact_faces.h"

namespace torvane {

class Car;
class SceneObject;

// Units: world units. Height of the wall raised on the chosen face.
inline constexpr float kWallHeight = 10.0f;

// What the contact test found; resolveContact acts on it when hit is true.
struct Contact {
    bool hit = false;
    // The volume's face whose wedge holds the car's centre.
    Face volumeFace = Face::Front;
    // World units along the car's forward axis by which the response moves the
    // car; also set when there is no hit, and 0 when no car corner leads
    // towards the face (its normal square to the car's forward axis).
    float correction = 0.0f;
};

// Tests the car against the volume; changes neither.
Contact detectContact(const Car& car, const SceneObject& volume);

// A car whose four corners all lie more than this in front of the chosen
// face's plane cannot touch its wall, whichever way detectContact would go
// (world units; far above the float error of the footprints, ~1e-3 at the
// city's edge).
inline constexpr float kClearOfWall = 0.25f;

// Whether detectContact(car, volume) is sure to find no hit because the car
// stands clear of the chosen face: a test far cheaper than the contact test,
// which most frames of a drive need only for the volumes whose bounding
// circles are far wider than themselves. False for a car with a NaN corner,
// and for one whose diagonals lie within about a degree of the z axis (the
// face wedges are found by dividing by their x extents, then too small to trust).
bool standsClearOfWall(const Car& car, const SceneObject& volume);

} // namespace torvane
