#include "world/city_map.h"

#include <algorithm>
#include <cassert>

namespace torvane {

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
