#include "collision/contact.h"

#include "car/car.h"
#include "collision/primitives.h"
#include "math/float_math.h"

namespace torvane {

namespace {

// Edge into car: the wall point P nearest the crossing H, on the bottom edge A–B,
// the diagonal B–U or the vertical edge U–A, tested against the car face whose
// wedge holds it. Fills hit and correction.
Contact detectEdgeIntoCar(const Car& car, const Footprint& carFootprint, Vector3 a, Vector3 b, Vector3 u,
                          Vector3 crossing)
{
    const Vector3 p = closestPointOnTriangleEdges(a, b, u, crossing);
    const FaceSegment carFace =
        selectContactFace(faceRegion(p, carFootprint), carFootprint, car.forward(), car.getHeading());
    // Depth of P behind that car face: positive inside, negative outside.
    const float depth = rayPlaneParameter(p, carFace.normal, carFace.start, carFace.normal);
    Contact contact;
    contact.correction = -signOf(car.getSpeed()) * depth;
    const Vector3 mirrored = p - depth * carFace.normal; // 2·depth behind the car face
    contact.hit = classifyAgainstPlane(mirrored, carFace.start, carFace.normal) == PlaneSide::Behind;
    return contact;
}

// The volume's face whose wedge holds the car's centre.
struct ChosenFace {
    Face face;
    FaceSegment segment;
};

ChosenFace chooseFace(const Car& car, const SceneObject& volume)
{
    const Footprint volumeFootprint = volume.footprint();
    const Face volumeFace = faceRegion(car.getPosition(), volumeFootprint);
    return {volumeFace, selectContactFace(volumeFace, volumeFootprint, volume.forward(), volume.getHeading())};
}

} // namespace

bool standsClearOfWall(const Car& car, const SceneObject& volume)
{
    constexpr float kLeastDiagonalX = 0.1f; // world units
    const Footprint footprint = car.footprint();
    const auto& [c0, c1, c2, c3] = footprint.corners;
    if (!(fabsf(c0.x - c2.x) > kLeastDiagonalX) || !(fabsf(c1.x - c3.x) > kLeastDiagonalX)) {
        return false;
    }
    const FaceSegment face = chooseFace(car, volume).segment;
    for (const Vector3& corner : footprint.corners) {
        if (!(dot(corner - face.start, face.normal) > kClearOfWall)) {
            return false;
        }
    }
    return true;
}

Contact detectContact(const Car& car, const SceneObject& volume)
{
    const Vector3 forward = car.forward();

    const auto [volumeFace, face] = chooseFace(car, volume);
    const Vector3 a = face.start;
    const Vector3 b = face.end;

    const std::optional<int> corner = leadingCorner(forward, -face.normal);
    if (!corner) {
        return {false, volumeFace, 0.0f};
    }
    const Footprint carFootprint = car.footprint();
    const Vector3 q = carFootprint.corners[*corner];
    const float t = rayPlaneParameter(q, forward, a, face.normal);
    const Vector3 crossing = q + t * forward;

    const Vector3 up(0.0f, kWallHeight, 0.0f);
    const Vector3 u = a + up;
    const Vector3 v = b + up;
    if (pointInTriangle(crossing, a, b, u) == 1 || pointInTriangle(crossing, u, b, v) == 1) {
        return {classifyAgainstPlane(q, a, face.normal) == PlaneSide::Behind, volumeFace, t};
    }
    Contact contact = detectEdgeIntoCar(car, carFootprint, a, b, u, crossing);
    contact.volumeFace = volumeFace;
    return contact;
}

} // namespace torvane
