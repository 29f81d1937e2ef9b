#include "world/city_map.h"

#include <algorithm>
#include <cassert>

#include "car/car.h"
#include "collision/volume_test.h"

namespace torvane {

void CityMap::collideCar(Car& car)
{
    for (const int index : kCollisionVolumes) {
        // An unfilled slot is a zero-sized object at the origin: testing it would
        // shove a car that stands near the origin out of nothing.
        if (index >= loadedPlacementCount) {
            continue;
        }
        collideWithVolume(car, placedObjects[index]);
    }
}

SceneObject& CityMap::objectModel(int index)
{
    assert(index >= 0 && index < kMaxObjectModels);
    return objectModels[index];
}

SceneObject& CityMap::placedObject(int index)
{
    assert(index >= 0 && index < kMaxPlacedObjects);
    return placedObjects[index];
}

const SceneObject& CityMap::placedObject(int index) const
{
    assert(index >= 0 && index < kMaxPlacedObjects);
    return placedObjects[index];
}

void CityMap::setLoadedPlacementCount(int count)
{
    loadedPlacementCount = std::clamp(count, 0, kMaxPlacedObjects);
}

} // namespace torvane
