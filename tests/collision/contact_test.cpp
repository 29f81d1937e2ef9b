// A car against one volume: the face a point meets, the corner that leads, the
// contact found and its correction, and the response to it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "collision/contact.h"
#include "collision/response.h"
#include "collision_fixtures.h"

namespace torvane {
namespace {

TEST(ContactFaces, WedgesAndLeadingCorners)
{
    const Footprint footprint = makeBox(Vector3()).footprint();
    EXPECT_EQ(faceRegion(Vector3(0, 0, -12), footprint), Face::Front);
    EXPECT_EQ(faceRegion(Vector3(-12, 0, 1), footprint), Face::MinusSide);
    EXPECT_EQ(faceRegion(Vector3(1, 0, 12), footprint), Face::Rear);
    EXPECT_EQ(faceRegion(Vector3(12, 0, -1), footprint), Face::PlusSide);

    // Forward -z, side +x: the front +x corner leads ahead and to the right; no
    // corner leads square to the forward axis. (The rear corners: DetectContact.)
    EXPECT_EQ(leadingCorner(Vector3(0, 0, -1), Vector3(0.3f, 0, -1)), 0);
    EXPECT_EQ(leadingCorner(Vector3(0, 0, -1), Vector3(1, 0, 0)), std::nullopt);
}

TEST(DetectContact, CornerThroughFaceAndEdgeIntoCar)
{
    const SceneObject box = makeBox(Vector3());

    // Reversing towards the front face: the rear corner 1.3 short of it.
    Car car = makeCar(Vector3(0, 0, -12));
    Contact contact = detectContact(car, box);
    EXPECT_FALSE(contact.hit);
    EXPECT_EQ(contact.volumeFace, Face::Front);
    EXPECT_NEAR(contact.correction, -1.3f, 1e-5f);

    // The rear corner 0.2 inside: pushed forwards 0.2, onto the face, and off the
    // vertical (the push and the speeds taken: CollisionPass.VolumesTestedInOrder...).
    car = makeCar(Vector3(0, 0, -10.5f));
    contact = detectContact(car, box);
    ASSERT_TRUE(contact.hit);
    EXPECT_NEAR(contact.correction, 0.2f, 1e-5f);
    resolveContact(car, contact);
    EXPECT_EQ(car.getVelocity().y, 0.0f);

    // Beside the box's corner 0: the line misses the wall, and that corner is
    // 1.65 outside the car's face 1–2.
    car = makeCar(Vector3(8, 0, -9), 0.3f);
    contact = detectContact(car, box);
    EXPECT_FALSE(contact.hit);
    EXPECT_NEAR(contact.correction, 1.65f, 0.005f);

    // A corner within the plane tolerance inside the face is no contact; just beyond it is.
    EXPECT_FALSE(detectContact(makeCar(Vector3(0, 0, -10.6995f)), box).hit);
    EXPECT_TRUE(detectContact(makeCar(Vector3(0, 0, -10.698f)), box).hit);
}

TEST(DetectContact, RotatedVolumeCorrectsAlongTheCarsAxisNotTheFaceNormal)
{
    // A box turned 0.5 rad: its front face lies on dot(x, f) = 5 with
    // f = (-sin 0.5, 0, -cos 0.5). A car with heading 0 reverses into it at an
    // angle of 0.5 rad to the normal; its rear +x corner (-0.6, 1, -5.1418) is
    // 0.2 behind that plane, which along the car's axis is 0.2 / cos 0.5.
    SceneObject box = makeBox(Vector3());
    box.setHeading(0.5f);
    Car car = makeCar(Vector3(-3, 1, -10.8418f));
    Contact contact = detectContact(car, box);
    EXPECT_TRUE(contact.hit);
    EXPECT_EQ(contact.volumeFace, Face::Front);
    EXPECT_NEAR(contact.correction, 0.22789f, 1e-4f);

    // Pushed that far along its own axis (-z), which puts the corner back on the plane.
    resolveContact(car, contact);
    EXPECT_NEAR(car.getPosition().x, -3.0f, 1e-5f);
    EXPECT_NEAR(car.getPosition().z, -11.0697f, 1e-4f);

    // The same corner 0.2 in front of the plane: no contact, and a correction that would pull it in.
    contact = detectContact(makeCar(Vector3(-3, 1, -11.2976f)), box);
    EXPECT_FALSE(contact.hit);
    EXPECT_NEAR(contact.correction, -0.22791f, 1e-4f);
}

TEST(DetectContact, ACarClearOfTheWallNeverHitsIt)
{
    // Cars round a turned box at every heading, from touching to well clear:
    // wherever the quick test says clear, the full test finds no contact, and it
    // says clear at times (a car 0.25 or more before the face, not across a diagonal).
    SceneObject box = makeBox(Vector3(40, 0, -30), 20.0f);
    box.setHeading(0.7f);
    int clear = 0;
    int hits = 0;
    for (int step = 0; step < 20000; ++step) {
        const float angle = static_cast<float>(step) * 0.61803f;
        const float reach = 9.0f + static_cast<float>(step % 97) * 0.12f;
        const Car car = makeCar(Vector3(40 + reach * std::cos(angle), 0, -30 + reach * std::sin(angle)),
                                static_cast<float>(step % 360) * 0.01745f);
        const bool hit = detectContact(car, box).hit;
        hits += hit ? 1 : 0;
        if (standsClearOfWall(car, box)) {
            ++clear;
            ASSERT_FALSE(hit) << "step " << step;
        }
    }
    EXPECT_GT(clear, 2000);
    EXPECT_GT(hits, 2000);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const SceneObject square = makeBox(Vector3());
    for (const Car& car : {makeCar(Vector3(nan, 0, -30)), makeCar(Vector3(0, 0, -10.75f)),
                           makeCar(Vector3(0, 0, -30), 0.3985f)}) { // diagonal 1-3 along z
        EXPECT_FALSE(standsClearOfWall(car, square));
    }
    EXPECT_TRUE(standsClearOfWall(makeCar(Vector3(0, 0, -11)), square));
}

TEST(ResolveContact, BackwardsCorrectionAndSpeedsAtOrBelowTheThreshold)
{
    Car car = makeCar(Vector3(1, 2, 3), 1.5707964f); // forward is -x
    const Contact backwards{true, Face::Rear, -0.5f};
    car.setSpeed(10);
    resolveContact(car, backwards);
    EXPECT_NEAR(car.getPosition().x, 1.5f, 1e-6f);
    EXPECT_NEAR(car.getPosition().z, 3.0f, 1e-6f);
    EXPECT_EQ(car.getSpeed(), 10.0f);
    car.setSpeed(5);
    resolveContact(car, backwards);
    EXPECT_EQ(car.getSpeed(), 5.0f);
}

} // namespace
} // namespace torvane
