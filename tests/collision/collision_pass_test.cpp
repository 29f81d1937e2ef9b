#include <memory>

#include <gtest/gtest.h>

#include "collision/collision_pass.h"
#include "collision/volume_test.h"
#include "collision_fixtures.h"
#include "world/city_map.h"

namespace torvane {
namespace {

// A city whose placement lines filled slots 0..102, every volume far away.
std::unique_ptr<CityMap> makeCity()
{
    auto city = std::make_unique<CityMap>();
    city->setLoadedPlacementCount(103);
    for (int index = 97; index < 103; ++index) {
        city->placedObject(index) = makeBox(Vector3(1000, 0, 1000));
    }
    return city;
}

// A box whose front face lies `depth` inside the rear corners of a car at
// (0, 0, -10.5) (rear corners at z = -4.8).
void placeBoxBehindCar(CityMap& city, int index, float depth)
{
    city.placedObject(index) = makeBox(Vector3(0, 0, 0.2f - depth));
}

TEST(BroadTest, OctagonalDistanceAndStrictOverlap)
{
    EXPECT_EQ(approximateDistanceXZ(Vector3(0, 0, 0), Vector3(3, 0, 4)), 5.125f);
    EXPECT_EQ(approximateDistanceXZ(Vector3(1, 0, 1), Vector3(-3, 0, -3)), 5.5f);
    EXPECT_EQ(approximateDistanceXZ(Vector3(2, 0, 1), Vector3(2, 0, -6)), 7.0f);
    EXPECT_EQ(approximateDistanceXZ(Vector3(2, 9, 1), Vector3(2, -4, 1)), 0.0f);

    // The car stands inside a large volume whose radius just fails the broad test.
    Car car = makeCar(Vector3());
    SceneObject volume = makeBox(Vector3(12, 0, 16), 40.0f);
    volume.setBoundingRadius(14.0f);  // 14 + 6.5 = 16 + 3/8·12
    EXPECT_FALSE(collideWithVolume(car, volume));
    EXPECT_EQ(car.getPosition(), Vector3());
    EXPECT_EQ(car.getVelocity(), Vector3(3, 1, -12));
    volume.setBoundingRadius(14.01f);
    EXPECT_TRUE(collideWithVolume(car, volume));
}

TEST(CollisionPass, VolumesTestedInOrderEachResponseApplied)
{
    auto city = makeCity();
    placeBoxBehindCar(*city, 99, 0.05f);
    placeBoxBehindCar(*city, 97, 0.1f);
    Car car = makeCar(Vector3(0, 0, -10.5f));
    car.setSpeed(12);
    collideCar(car, *city);
    EXPECT_NEAR(car.getVelocity().x, 0.03f, 1e-6f);
    EXPECT_NEAR(car.getVelocity().z, -0.12f, 1e-6f);
    EXPECT_NEAR(car.getSpeed(), -1.2f, 1e-6f);
    EXPECT_NEAR(car.getPosition().z, -10.6f, 1e-5f);

    // Each push leaves the rear corners on the face just entered, so a deeper box
    // is entered only if the shallower ones were tested first: five contacts
    // need exactly the order 99, 97, 98, 101, 102.
    const int order[5] = {99, 97, 98, 101, 102};
    for (int i = 0; i < 5; ++i) {
        placeBoxBehindCar(*city, order[i], 0.05f * static_cast<float>(i + 1));
    }
    car = makeCar(Vector3(0, 0, -10.5f));
    collideCar(car, *city);
    EXPECT_NEAR(car.getVelocity().z, -12e-5f, 1e-9f);
    EXPECT_NEAR(car.getPosition().z, -10.75f, 1e-5f);
}

TEST(CollisionPass, IgnoresObject100AndUnfilledSlots)
{
    auto city = makeCity();
    placeBoxBehindCar(*city, 100, 2.0f);
    Car car = makeCar(Vector3(0, 0, -10.5f));
    collideCar(car, *city);
    EXPECT_EQ(car.getPosition(), Vector3(0, 0, -10.5f));
    EXPECT_EQ(car.getVelocity(), Vector3(3, 1, -12));

    // Slots 97..102 unfilled: zero-sized objects at the origin, under the car.
    city = std::make_unique<CityMap>();
    city->setLoadedPlacementCount(97);
    car = makeCar(Vector3(1, 0, 2));
    collideCar(car, *city);
    EXPECT_EQ(car.getPosition(), Vector3(1, 0, 2));
    EXPECT_EQ(car.getVelocity(), Vector3(3, 1, -12));
}

} // namespace
} // namespace torvane
