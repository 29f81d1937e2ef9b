#include "collision/contact.h"

#include "car/car.h"
#include "collision/contact_faces.h"
#include "collision/primitives.h"
#include "math/float_math.h"

namespace torvane {

namespace {

// Edge into car: the wall point P nearest the crossing H, on the bottom edge A–B,
// the diagonal B–U or the vertical edge U–A, tested against the car face whose
// wedge holds it.
bool detectEdgeIntoCar(Car& car, Vector3 a, Vector3 b, Vector3 u, Vector3 crossing)
{
    const Vector3 p = closestPointOnTriangleEdges(a, b, u, crossing);
    selectContactFace(faceRegion(p, car), car);
    const Vector3 carFaceStart = car.getContactFaceStart();
    const Vector3 carFaceNormal = car.getContactFaceNormal();
    // Depth of P behind that car face: positive inside, negative outside.
    const float depth = rayPlaneParameter(p, carFaceNormal, carFaceStart, carFaceNormal);
    car.setContactCorrection(-signOf(car.getSpeed()) * depth);
    const Vector3 mirrored = p - depth * carFaceNormal;  // 2·depth behind the car face
    return classifyAgainstPlane(mirrored, carFaceStart, carFaceNormal) == BEHIND;
}

} // namespace

bool detectContact(Car& car, SceneObject& volume)
{
    const float h = car.getHeading();
    const Vector3 forward(cosf(h + kHalfPi), 0.0f, sinf(h - kHalfPi));

    selectContactFace(faceRegion(car.getPosition(), volume), volume);
    const Vector3 a = volume.getContactFaceStart();
    const Vector3 b = volume.getContactFaceEnd();
    const Vector3 normal = volume.getContactFaceNormal();

    const int corner = leadingCorner(forward, -normal);
    if (corner == kNoLeadingCorner) {
        return false;
    }
    const Vector3 q = footprintCorner(corner, car);
    const float t = rayPlaneParameter(q, forward, a, normal);
    const Vector3 crossing = q + t * forward;
    car.setContactCorrection(t);

    const Vector3 up(0.0f, kWallHeight, 0.0f);
    const Vector3 u = a + up;
    const Vector3 v = b + up;
    if (pointInTriangle(crossing, a, b, u) == 1 || pointInTriangle(crossing, u, b, v) == 1) {
        return classifyAgainstPlane(q, a, normal) == BEHIND;
    }
    return detectEdgeIntoCar(car, a, b, u, crossing);
}

} // namespace torvane
