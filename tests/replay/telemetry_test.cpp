// The check for telemetry values that are not finite. The golden drives check
// the rows themselves (header, columns, keys and every value's digits) against
// the committed CSVs, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "replay/telemetry.h"
#include "camera/camera.h"
#include "car/car.h"

namespace torvane {
namespace {

TEST(Telemetry, FirstNonFiniteColumnNamesTheField)
{
    Car car;
    Camera camera;
    EXPECT_EQ(firstNonFiniteColumn(car, camera), nullptr);
    camera.setEye(0.0f, std::numeric_limits<float>::infinity(), 0.0f);
    ASSERT_NE(firstNonFiniteColumn(car, camera), nullptr);
    EXPECT_STREQ(firstNonFiniteColumn(car, camera)->name, "eye.y");
    car.setVelocity(0.0f, 0.0f, std::nanf(""));
    EXPECT_STREQ(firstNonFiniteColumn(car, camera)->name, "velocity.z");
    EXPECT_NE(telemetryRow(1, 0.1f, {}, car, camera).find(",nan,"), std::string::npos);
}

} // namespace
} // namespace torvane
