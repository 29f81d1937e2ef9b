#include <gtest/gtest.h>

#include "collision/contact.h"
#include "collision/contact_faces.h"
#include "collision/response.h"
#include "collision_fixtures.h"

namespace torvane {
namespace {

TEST(ContactFaces, WedgesAndCornerNumbers)
{
    SceneObject box;
    makeBox(box, Vector3());
    EXPECT_EQ(faceRegion(Vector3(0, 0, -12), box), kFrontRegion);
    EXPECT_EQ(faceRegion(Vector3(-12, 0, 1), box), kMinusSideRegion);
    EXPECT_EQ(faceRegion(Vector3(1, 0, 12), box), kRearRegion);
    EXPECT_EQ(faceRegion(Vector3(12, 0, -1), box), kPlusSideRegion);
    EXPECT_EQ(footprintCorner(4, box), Vector3(5, 0, 5));
    EXPECT_EQ(footprintCorner(0, box), box.getPosition());
    EXPECT_EQ(footprintCorner(5, box), box.getPosition());
}

TEST(DetectContact, CornerThroughFaceAndEdgeIntoCar)
{
    SceneObject box;
    makeBox(box, Vector3());

    // Reversing towards the front face: the rear corner 1.3 short of it.
    Car car = makeCar(Vector3(0, 0, -12));
    EXPECT_FALSE(detectContact(car, box));
    EXPECT_NEAR(car.getContactCorrection(), -1.3f, 1e-5f);

    // The rear corner 0.2 inside: pushed forwards 0.2, onto the face.
    car = makeCar(Vector3(0, 0, -10.5f));
    car.setSpeed(12);
    ASSERT_TRUE(detectContact(car, box));
    EXPECT_NEAR(car.getContactCorrection(), 0.2f, 1e-5f);
    resolveContact(car);
    EXPECT_NEAR(car.getPosition().x, 0.0f, 1e-6f);
    EXPECT_NEAR(car.getPosition().z, -10.7f, 1e-5f);
    EXPECT_NEAR(car.getVelocity().x, 0.3f, 1e-6f);
    EXPECT_EQ(car.getVelocity().y, 0.0f);
    EXPECT_NEAR(car.getVelocity().z, -1.2f, 1e-6f);
    EXPECT_NEAR(car.getSpeed(), -1.2f, 1e-6f);

    // Beside the box's corner 0: the line misses the wall, and that corner is
    // 1.65 outside the car's face 1–2.
    car = makeCar(Vector3(8, 0, -9), 0.3f);
    EXPECT_FALSE(detectContact(car, box));
    EXPECT_NEAR(car.getContactCorrection(), 1.65f, 0.005f);

    // A corner within the plane tolerance inside the face is no contact; just beyond it is.
    car = makeCar(Vector3(0, 0, -10.6995f));
    EXPECT_FALSE(detectContact(car, box));
    car = makeCar(Vector3(0, 0, -10.698f));
    EXPECT_TRUE(detectContact(car, box));
}

TEST(ResolveContact, BackwardsCorrectionAndSpeedsAtOrBelowTheThreshold)
{
    Car car = makeCar(Vector3(1, 2, 3), 1.5707964f);  // forward is -x
    car.setContactCorrection(-0.5f);
    car.setSpeed(10);
    resolveContact(car);
    EXPECT_NEAR(car.getPosition().x, 1.5f, 1e-6f);
    EXPECT_NEAR(car.getPosition().z, 3.0f, 1e-6f);
    EXPECT_EQ(car.getSpeed(), 10.0f);
    car.setSpeed(5);
    resolveContact(car);
    EXPECT_EQ(car.getSpeed(), 5.0f);
}

} // namespace
} // namespace torvane
