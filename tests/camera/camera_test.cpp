// The camera: where its modes put the eye and the look-at point, what an unknown
// mode leaves, and the projection and view it hands the device.
#include <cmath>

#include <gtest/gtest.h>

#include "camera/camera.h"
#include "car/car.h"
#include "math/float_math.h"
#include "render/recording_device.h"

namespace torvane {
namespace {

void expectNear(Vector3 actual, Vector3 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

TEST(Camera, ModesPlaceEyeAndLookAtAroundTheCar)
{
    Camera camera;
    Car car;
    const Vector3 p{3.0f, 1.0f, -4.0f};
    car.setPosition(p);
    camera.follow(2, car);
    expectNear(camera.getLookAt(), p);
    expectNear(camera.getEye(), p + Vector3{0, 10, 30});
    car.setHeading(kHalfPi);
    camera.follow(2, car);
    expectNear(camera.getEye(), p + Vector3{30, 10, 0});

    const float h = 0.3f;
    car.setHeading(h);
    camera.follow(5, car);
    expectNear(camera.getEye(), p + Vector3{30 * std::cos(h), 10, -30 * std::sin(h)});
    camera.follow(6, car);
    expectNear(camera.getEye(), p + Vector3{-30 * std::cos(h), 10, 30 * std::sin(h)});
    car.setSpeed(-20.0f);
    camera.follow(4, car);
    EXPECT_EQ(camera.getEye(), (p + Vector3{1, 75, 0}));
    camera.follow(3, car);
    EXPECT_EQ(camera.getEye(), (Vector3{1, 95, 1}));
    EXPECT_EQ(camera.getLookAt(), (Vector3{1, 5, 2}));
}

// Modes 0 and 7 (the chase camera, which also stands still behind a car at rest)
// are read back in the golden drives' telemetry.
TEST(Camera, OutOfRangeModesFreezeTheCamera)
{
    Camera camera;
    RecordingDevice device;
    Car car;
    camera.update(device, car);
    const Matrix4 view = camera.getView();
    car.setPosition({50.0f, 0.0f, 50.0f});
    for (int mode : {8, -1}) {
        camera.setMode(mode);
        camera.update(device, car);
        EXPECT_EQ(camera.getView(), view) << mode;
    }
}

TEST(Camera, UpdateSetsProjectionThenView)
{
    Camera camera;
    RecordingDevice device;
    Car car;
    car.setPosition({0.0f, 2.0f, 2.0f});
    camera.update(device, car);
    const auto& log = device.getLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].transform, TransformState::Projection);
    EXPECT_EQ(log[1].transform, TransformState::View);
    EXPECT_EQ(device.getTransform(TransformState::Projection), camera.getProjection());
    EXPECT_EQ(device.getTransform(TransformState::View), camera.getView());

    const Matrix4& projection = camera.getProjection();
    EXPECT_NEAR(projection.m[0][0], 1.857087f, 1e-5f);
    EXPECT_NEAR(projection.m[1][1], 2.414214f, 1e-5f);
    EXPECT_NEAR(projection.m[2][2], 1.002004f, 1e-5f);
    EXPECT_NEAR(projection.m[3][2], -1.002004f, 1e-5f);
    expectNear(transformCoord(camera.getLookAt(), camera.getView()), Vector3{0, 0, 23.10844f});
    expectNear(transformCoord(camera.getEye(), camera.getView()), Vector3{0, 0, 0});
}

} // namespace
} // namespace torvane
