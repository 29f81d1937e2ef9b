#include "collision/collision_pass.h"

#include "car/car.h"
#include "collision/volume_test.h"
#include "world/city_map.h"

namespace torvane {

void collideCar(Car& car, const CityMap& city)
{
    for (const int index : CityMap::kCollisionVolumes) {
        // An unfilled slot is a zero-sized object at the origin: testing it would
        // shove a car that stands near the origin out of nothing.
        if (index >= city.getLoadedPlacementCount()) {
            continue;
        }
        collideWithVolume(car, city.placedObject(index));
    }
}

} // namespace torvane
