#include "collision/volume_test.h"

#include "car/car.h"
#include "collision/contact.h"
#include "collision/response.h"
#include "math/float_math.h"

namespace torvane {

float approximateDistanceXZ(Vector3 a, Vector3 b)
{
    const float dx = fabsf(a.x - b.x);
    const float dz = fabsf(a.z - b.z);
    float smaller = dz;
    if (dx < dz) {
        smaller = dx;
    }
    return ((dx + dz) - smaller / 2.0f - smaller / 4.0f) + smaller / 8.0f;
}

bool boundsOverlap(const SceneObject& car, const SceneObject& volume)
{
    const float distance = approximateDistanceXZ(car.getPosition(), volume.getPosition());
    return volume.getBoundingRadius() + car.getBoundingRadius() > distance;
}

bool collideWithVolume(Car& car, const SceneObject& volume)
{
    if (!boundsOverlap(car, volume) || standsClearOfWall(car, volume)) {
        return false;
    }
    const Contact contact = detectContact(car, volume);
    if (contact.hit) {
        resolveContact(car, contact);
    }
    return contact.hit;
}

} // namespace torvane
