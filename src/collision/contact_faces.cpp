#include "collision/contact_faces.h"

#include "collision/primitives.h"
#include "math/float_math.h"
#include "world/scene_object.h"

namespace torvane {

int faceRegion(Vector3 point, SceneObject& object)
{
    object.updateFootprint();
    const Vector3 c0 = object.getFootprintCorner(0);
    const Vector3 c1 = object.getFootprintCorner(1);
    const Vector3 c2 = object.getFootprintCorner(2);
    const Vector3 c3 = object.getFootprintCorner(3);
    // Diagonal 0-2 splits corner 1's side (front, -s side) from corner 3's;
    // diagonal 1-3 splits corner 0's side (front, +s side) from corner 2's.
    const bool onCorner1Side = signOf(lineOffsetZ(c0, c2, point)) == signOf(lineOffsetZ(c0, c2, c1));
    const bool onCorner0Side = signOf(lineOffsetZ(c1, c3, point)) == signOf(lineOffsetZ(c1, c3, c0));
    const int code = onCorner1Side ? 6 : 3;
    return onCorner0Side ? code + 5 : code + 1;
}

void selectContactFace(int code, SceneObject& object)
{
    const float h = object.getHeading();
    const Vector3 forward(cosf(h + kHalfPi), 0.0f, sinf(h - kHalfPi));
    const Vector3 minusSide(cosf(h + kPi), 0.0f, sinf(h));
    switch (code) {
    case kFrontRegion:
        object.setContactFace(object.getFootprintCorner(0), object.getFootprintCorner(1), forward);
        break;
    case kMinusSideRegion:
        object.setContactFace(object.getFootprintCorner(1), object.getFootprintCorner(2), minusSide);
        break;
    case kRearRegion:
        object.setContactFace(object.getFootprintCorner(2), object.getFootprintCorner(3), -forward);
        break;
    case kPlusSideRegion:
        object.setContactFace(object.getFootprintCorner(3), object.getFootprintCorner(0), -minusSide);
        break;
    default:
        break;
    }
}

int leadingCorner(Vector3 forward, Vector3 direction)
{
    const float along = dot(forward, direction);
    const float across = dot(Vector3(-forward.z, 0.0f, forward.x), direction);
    if (along > 0.0f) {
        return across > 0.0f ? 1 : 2;
    }
    if (along < 0.0f) {
        return across > 0.0f ? 4 : 3;
    }
    // Square to the forward axis (or NaN): no corner leads.
    return kNoLeadingCorner;
}

Vector3 footprintCorner(int number, SceneObject& object)
{
    object.updateFootprint();
    if (number < 1 || number > 4) {
        return object.getPosition();
    }
    return object.getFootprintCorner(number - 1);
}

} // namespace torvane
