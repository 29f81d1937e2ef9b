// Cars with the player car's extents, and square volumes, as the level sets them.
#pragma once

#include "car/car.h"

namespace torvane {

inline Car makeCar(Vector3 position, float heading = 0.0f)
{
    Car car;
    car.setPosition(position);
    car.setHeading(heading);
    car.setFootprintLength(11.4f);
    car.setFootprintWidth(4.8f);
    car.setBoundingRadius(6.5f);
    car.setVelocity(3, 1, -12);
    return car;
}

inline SceneObject makeBox(Vector3 position, float side = 10.0f)
{
    SceneObject volume;
    volume.setPosition(position);
    volume.setFootprintLength(side);
    volume.setFootprintWidth(side);
    volume.setBoundingRadius(side * 0.75f);
    return volume;
}

} // namespace torvane
