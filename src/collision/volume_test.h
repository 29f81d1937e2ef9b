// Per-volume step of the collision pass: broad test on bounding circles with an
// octagonal distance estimate, contact test, response.
// The distance estimate is up to about 7% over and 3% under the true planar
// distance, so the broad test's edge is an octagon rather than a circle.
#pragma once

#include "math/vector3.h"

namespace torvane {

class Car;
class SceneObject;

// max(dx, dz) + 3/8·min(dx, dz) for the x and z differences of a and b; y is ignored.
float approximateDistanceXZ(Vector3 a, Vector3 b);

// True when the bounding radii add up to strictly more than the estimated distance.
bool boundsOverlap(const SceneObject& car, const SceneObject& volume);

// Tests the car against the volume and applies the response on contact. True
// when a contact was found; false leaves the car unchanged.
bool collideWithVolume(Car& car, const SceneObject& volume);

} // namespace torvane
