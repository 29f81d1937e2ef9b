#include <gtest/gtest.h>

#include "math/float_math.h"
#include "world/scene_object.h"

namespace torvane {
namespace {

void expectNear(Vector3 actual, Vector3 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(SceneObjectFootprint, CornersRunRoundTheRectangleAtThePositionsHeight)
{
    SceneObject object;
    object.setFootprintLength(11.4f);
    object.setFootprintWidth(4.8f);
    Footprint footprint = object.footprint();
    expectNear(footprint.corners[0], Vector3(2.4f, 0, -5.7f));
    expectNear(footprint.corners[1], Vector3(-2.4f, 0, -5.7f));
    expectNear(footprint.corners[2], Vector3(-2.4f, 0, 5.7f));
    expectNear(footprint.corners[3], Vector3(2.4f, 0, 5.7f));

    // Turned a quarter: the front (local -z) faces world -x. Scale is ignored.
    object.setHeading(kHalfPi);
    object.setPosition(Vector3(0, 3.5f, 0));
    object.setScale(2, 2, 2);
    footprint = object.footprint();
    expectNear(footprint.corners[0], Vector3(-5.7f, 3.5f, -2.4f));
    expectNear(footprint.corners[2], Vector3(5.7f, 3.5f, 2.4f));
    for (const Vector3 corner : footprint.corners) {
        EXPECT_EQ(corner.y, 3.5f);
    }
}

} // namespace
} // namespace torvane
