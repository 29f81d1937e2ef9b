// Telemetry rows: values that read back as the same floats, the keys column,
// and the check for values that are not finite. The golden drives check the
// header row and the column order against the committed CSVs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "replay/telemetry.h"
#include "camera/camera.h"
#include "car/car.h"

namespace torvane {
namespace {

std::vector<std::string> splitRow(const std::string& row)
{
    std::vector<std::string> fields;
    std::stringstream stream(row.substr(0, row.size() - 1));
    for (std::string field; std::getline(stream, field, ',');) {
        fields.push_back(field);
    }
    return fields;
}

TEST(Telemetry, EveryValueReadsBackAsTheSameFloat)
{
    Car car;
    car.setHeading(0.3f);
    car.setMotion({-3.3f, 0.0f, -7.1f}, 31.7f);
    car.pressThrottle(1.0f);
    car.steer(1.0f);
    car.stepPhysics(1.0f / 60.0f);
    Camera camera;
    camera.setMode(6);
    camera.follow(6, car);
    std::bitset<kKeyCount> keys;
    keys.set(kKeyRight).set(kKeyUp);

    const std::vector<std::string> fields = splitRow(telemetryRow(42, 1.0f / 60.0f, keys, car, camera));
    ASSERT_EQ(fields.size(), 58u);
    EXPECT_EQ(fields[0], "42");
    EXPECT_EQ(std::strtof(fields[1].c_str(), nullptr), 1.0f / 60.0f);
    EXPECT_EQ(fields[2], "\"200 205\"");
    const auto columns = telemetryStateColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const float expected = static_cast<float>(columns[i].read(car, camera));
        EXPECT_EQ(std::strtof(fields[i + 3].c_str(), nullptr), expected) << columns[i].name << " " << fields[i + 3];
    }
    EXPECT_EQ(fields[3 + 48], "6") << "cameraMode";
    EXPECT_EQ(splitRow(telemetryRow(0, 0.0f, {}, Car(), Camera()))[2], "\"\"");
}

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
