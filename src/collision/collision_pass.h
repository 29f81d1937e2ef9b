// The collision pass: once per frame, before the physics step, the car is tested
// against the city's collision volumes in a fixed order and pushed back and
// slowed by each one it has entered. A later volume sees the car as the earlier
// ones left it. Only the placed objects the city names as volumes are tested.
#pragma once

namespace torvane {

class Car;
class CityMap;

// Runs the pass over CityMap::kCollisionVolumes, skipping slots that no
// placement line filled (zero-sized objects at the origin).
void collideCar(Car& car, const CityMap& city);

} // namespace torvane
