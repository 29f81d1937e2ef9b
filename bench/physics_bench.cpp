#include <benchmark/benchmark.h>

#include "car/car.h"

namespace torvane {
namespace {

// One physics step of a car circling at speed with the accelerator and the
// steering held, the player car's work in every frame.
void stepPhysicsWhileSteering(benchmark::State& state)
{
    Car car;
    car.setMotion({0.0f, 0.0f, -15.0f}, 50.0f);
    for (auto _ : state) {
        car.setThrottlePressed(true);
        car.setSteeringAngle(10.0f);
        car.setSteeringPressed(true);
        car.stepPhysics(0.02f);
        benchmark::DoNotOptimize(car.getHeading());
    }
}
BENCHMARK(stepPhysicsWhileSteering);

} // namespace
} // namespace torvane
