// Contact test of the car against one collision volume whose bounding circle
// already overlaps the car's. One face of the volume's footprint is chosen (the
// one whose diagonal wedge holds the car's centre) and raised into a wall 10
// units high; then either the car corner leading towards that face is followed
// along the car's forward axis to the wall (corner through face), or, when that
// line misses the wall, the wall point nearest the crossing is tested against
// the car's footprint (edge into car).
//
// The correction left in the car's contactCorrection always acts along the car's
// forward axis, never along the face normal: a nearly glancing approach gives
// a correction of the whole distance to the face's plane, many times the
// penetration. The edge-into-car way only reports contact for a point more than
// half the plane tolerance inside the car.
#pragma once

namespace torvane {

class Car;
class SceneObject;

// Units: world units. Height of the wall raised on the chosen face.
inline constexpr float kWallHeight = 10.0f;

// True when the car has entered the volume. Whatever the result, it rewrites the
// volume's footprint and contact face and, once a leading corner exists, the
// car's footprint, contactCorrection and (edge into car) contact face.
bool detectContact(Car& car, SceneObject& volume);

} // namespace torvane
