// The geometry the collision tests stand on: signs, planes, rays, triangles and
// the closest points of segments and edges.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "collision/primitives.h"
#include "math/float_math.h"

namespace torvane {
namespace {

// The side of a line (lineOffsetZ) decides the face a corner meets: ContactFaces and BroadTest.
TEST(CollisionPrimitives, SignOfZeroAndNaN)
{
    EXPECT_EQ(signOf(0.0f), 1.0f);
    EXPECT_EQ(signOf(-0.0f), 1.0f);
    EXPECT_EQ(signOf(-0.5f), -1.0f);
    EXPECT_EQ(signOf(std::numeric_limits<float>::quiet_NaN()), -1.0f);
}

TEST(CollisionPrimitives, PlaneClassificationAndRayParameter)
{
    const Vector3 origin, normal(0, 0, -1);
    EXPECT_EQ(classifyAgainstPlane(Vector3(0, 0, 0.2f), origin, normal), PlaneSide::Behind);
    EXPECT_EQ(classifyAgainstPlane(Vector3(0, 0, -0.2f), origin, normal), PlaneSide::InFront);
    EXPECT_EQ(classifyAgainstPlane(Vector3(0, 0, 0.0005f), origin, normal), PlaneSide::OnPlane);
    EXPECT_EQ(classifyAgainstPlane(Vector3(0, 0, -0.0005f), origin, normal), PlaneSide::OnPlane);
    EXPECT_EQ(classifyAgainstPlane(origin, origin, normal), PlaneSide::OnPlane);

    EXPECT_EQ(rayPlaneParameter(Vector3(0, 0, -2), Vector3(0, 0, 1), origin, normal), 2.0f);
    EXPECT_EQ(rayPlaneParameter(Vector3(0, 0, -2), Vector3(1, 0, 0), origin, normal), -1.0f);
}

TEST(CollisionPrimitives, PointInTriangleCountsEdgesAndVerticesAsInside)
{
    const Vector3 t0(0, 0, 0), t1(3, 0, 0), t2(0, 0, 3);
    EXPECT_EQ(pointInTriangle(Vector3(1.5f, 0, 0), t0, t1, t2), 1);
    EXPECT_EQ(pointInTriangle(Vector3(1, 0, 1), t0, t1, t2), 1);
    EXPECT_EQ(pointInTriangle(Vector3(10, 0, 10), t0, t1, t2), 0);
    // On a vertex the angle sum is NaN, which counts as inside.
    EXPECT_EQ(pointInTriangle(t1, t0, t1, t2), 1);
}

TEST(CollisionPrimitives, ClosestPointsOnSegmentsAndEdges)
{
    const Vector3 s0(0, 0, 0), s1(10, 0, 0);
    EXPECT_EQ(closestPointOnSegment(s0, s1, Vector3(-3, 0, 4)), s0);
    EXPECT_EQ(closestPointOnSegment(s0, s1, Vector3(13, 0, 4)), s1);
    EXPECT_EQ(closestPointOnSegment(s0, s1, Vector3(4, 0, 3)), Vector3(4, 0, 0));
    const Vector3 point(2, 5, -1);
    EXPECT_EQ(closestPointOnSegment(point, point, Vector3(7, 0, 7)), point);

    // (1, 0, 1) is 1 from both edge t0–t1 and edge t2–t0: the earlier edge wins.
    const Vector3 t2(0, 0, 10);
    EXPECT_EQ(closestPointOnTriangleEdges(s0, s1, t2, Vector3(1, 0, 1)), Vector3(1, 0, 0));
    EXPECT_EQ(closestPointOnTriangleEdges(s0, s1, t2, Vector3(-1, 0, 4)), Vector3(0, 0, 4));
}

} // namespace
} // namespace torvane
