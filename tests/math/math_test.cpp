#include <bit>
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

#include "math/float_math.h"
#include "math/matrix4.h"

namespace torvane {
namespace {

TEST(Vector3, NormalizeLengthAndDot)
{
    Vector3 v(3.0f, 0.0f, 4.0f);
    normalize(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
    EXPECT_EQ(v.y, 0.0f);

    Vector3 zero;
    normalize(zero);
    EXPECT_TRUE(std::isnan(zero.x) && std::isnan(zero.y) && std::isnan(zero.z));

    EXPECT_EQ(length(Vector3(3.0f, 4.0f, 0.0f)), 5.0f);
    EXPECT_EQ(length(Vector3()), 0.0f);
    EXPECT_EQ(dot(Vector3(1, 2, 3), Vector3(4, 5, 6)), 32.0f);
    const Vector3 a(1.5f, -2.0f, 7.0f);
    EXPECT_EQ(a - a, Vector3());
}

TEST(FloatMath, WrappersRoundTheDoubleResult)
{
    EXPECT_EQ(cosf(0.3f), static_cast<float>(std::cos(0.3000000119)));
    EXPECT_TRUE(std::isnan(sqrtf(-1.0f)));
    EXPECT_FALSE(std::signbit(fabsf(-0.0f)));
    EXPECT_EQ(fabsf(-INFINITY), INFINITY);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(kPi / 4.0f), 0x3F490FDBu);
}

TEST(Matrix4, ProjectionMapsDepthFromNearToFarOntoZeroToOne)
{
    const Matrix4 p = matrixPerspectiveFovLH(kPi / 4.0f, 1.3f, 1.0f, 500.0f);
    EXPECT_NEAR(transformCoord(Vector3(0, 0, 1), p).z, 0.0f, 1e-6f);
    EXPECT_NEAR(transformCoord(Vector3(0, 0, 500), p).z, 1.0f, 1e-6f);
}

} // namespace
} // namespace torvane
