#include <memory>

#include <benchmark/benchmark.h>

#include "car/car.h"
#include "collision/collision_pass.h"
#include "world/city_map.h"

namespace torvane {
namespace {

void placeBox(SceneObject& volume, Vector3 position)
{
    volume.setPosition(position);
    volume.setFootprintLength(10.0f);
    volume.setFootprintWidth(10.0f);
    volume.setBoundingRadius(7.5f);
}

// One collision pass with the car reversed into two volumes, each entered in
// turn: two contact tests and two responses; the other three volumes stand far
// away and stop at the broad test.
void collisionPassTouchingTwoVolumes(benchmark::State& state)
{
    auto city = std::make_unique<CityMap>();
    city->setLoadedPlacementCount(CityMap::kMaxPlacedObjects);
    for (const int index : CityMap::kCollisionVolumes) {
        placeBox(city->placedObject(index), {1000.0f, 0.0f, 1000.0f});
    }
    placeBox(city->placedObject(99), {0.0f, 0.0f, 0.15f});
    placeBox(city->placedObject(97), {0.0f, 0.0f, 0.1f});

    Car car;
    car.setFootprintLength(11.4f);
    car.setFootprintWidth(4.8f);
    car.setBoundingRadius(6.5f);
    for (auto _ : state) {
        car.setPosition({0.0f, 0.0f, -10.5f});
        car.setVelocity(3.0f, 0.0f, -12.0f);
        car.setSpeed(12.0f);
        collideCar(car, *city);
        benchmark::DoNotOptimize(car.getPosition());
    }
}
BENCHMARK(collisionPassTouchingTwoVolumes);

} // namespace
} // namespace torvane
