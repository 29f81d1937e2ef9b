// The car file: the shipped file is the built-in car to the bit; every kind of
// mistake is refused with its line and field; a changed coefficient reaches
// the tyre model.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "car/car.h"
#include "carfile/car_file.h"
#include "core/content_hash.h"
#include "support/scratch_folder.h"
#include "support/shipped_car.h"

namespace torvane {
namespace {

// The start of an error on the line (from 1) of the shipped file that starts with prefix, or on one later.
std::string errorAt(const std::string& prefix, int later = 0)
{
    const std::string text = shippedCarText();
    const std::size_t at = text.find("\n" + prefix);
    return "car.toml:" + std::to_string(2 + later + std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n'))
           + ": ";
}

std::string errorsOf(const CarFileReading& reading)
{
    std::string all;
    for (const CarFileError& error : reading.errors) {
        all += formatCarFileError("car.toml", error) + "\n";
    }
    return all;
}

TEST(CarFile, ShippedFileIsTheBuiltInCarToTheBit)
{
    const CarFileReading reading = readCarFile(TORVANE_DATA_DIR "/cars/car.toml");
    ASSERT_TRUE(reading.parameters) << errorsOf(reading);
    EXPECT_TRUE(*reading.parameters == CarParameters{});
    EXPECT_EQ(reading.hash, contentHash(shippedCarText()));
    // Integers are numbers too.
    const CarFileReading whole = parseCarFile(shippedCarText({{"mass = 1000.0", "mass = 1000"}}));
    ASSERT_TRUE(whole.parameters) << errorsOf(whole);
    EXPECT_EQ(whole.parameters->body.mass, 1000.0f);
    EXPECT_NE(whole.hash, reading.hash);
}

TEST(CarFile, MistakesAreRefusedWithTheirLineAndField)
{
    const std::string mass = errorAt("mass ="), body = errorAt("[body]"), massNext = errorAt("mass =", 1);
    struct Case {
        std::string from, to;
        std::string expected;  // found among the errors
    };
    const Case cases[] = {
        {"mass = 1000.0", "mass = \"heavy\"", mass + "body.mass: expected a number"},
        {"mass = 1000.0", "mass = nan", mass + "body.mass: not a finite number"},
        {"mass = 1000.0", "mass = 1e39", mass + "body.mass: not a finite number"},
        {"mass = 1000.0", "mass = 0.0", mass + "body.mass: 0 is outside (0, 1e+06]"},
        {"grip_factor = 1.688", "grip_factor = -1.688",
         errorAt("grip_factor =") + "tyres.grip_factor: -1.688 is outside (0, 100]"},
        {"mass = 1000.0", "# no mass", body + "body.mass: missing"},
        {"mass = 1000.0", "mass = 1000.0\nmas = 3", massNext + "body.mas: unknown key"},
        {"[body]", "[engine]\npower = 3\n[body]", body + "engine: unknown table"},
        {"[body]", "body = 4\n[body_parts]", body + "body: expected a table"},
        {"mass = 1000.0", "mass = 1000.0\nmass = 2000.0", massNext},
        {"[start]", "[start_pose]", "car.toml:1: start: missing table"},
        {"mass = 1000.0", "mass = = 3", mass},
        {"[tyres]", "[tyre]", "car.toml:1: tyres: missing table"},
    };
    for (const Case& c : cases) {
        const CarFileReading reading = parseCarFile(shippedCarText({{c.from, c.to}}));
        EXPECT_FALSE(reading.parameters) << c.to;
        const std::string errors = errorsOf(reading);
        EXPECT_NE(errors.find(c.expected), std::string::npos) << c.to << " gave\n" << errors;
    }
    // Every field of an empty file is missing, named once per table.
    EXPECT_EQ(parseCarFile("").errors.size(), 8u);
    // The deepest dotted key that fits the size limit is an unknown table, not a stack overflow.
    std::string deep = "a";
    while (deep.size() + 6 < kMaxCarFileBytes) {
        deep += ".a";
    }
    EXPECT_NE(errorsOf(parseCarFile(deep + " = 1")).find("car.toml:1: a: unknown table"), std::string::npos);
}

TEST(CarFile, UnreadableOrHugeFilesAreRefusedWhole)
{
    const ScratchFolder folder;
    const std::string huge = folder / "huge.toml";
    std::ofstream(huge) << std::string(kMaxCarFileBytes + 1, '#');
    EXPECT_EQ(errorsOf(readCarFile(huge)), "car.toml: larger than 16384 bytes\n");
    EXPECT_EQ(errorsOf(readCarFile(folder / "missing.toml")), "car.toml: no such file\n");
    EXPECT_EQ(errorsOf(readCarFile(folder.path.string())),
              "car.toml: not a regular file (a folder, a device or a pipe)\n");
}

TEST(CarFile, TyreCoefficientsReachTheTyreModel)
{
    const CarFileReading reading = parseCarFile(shippedCarText({{"lateral_shape = 1.799", "lateral_shape = 1.2"}}));
    ASSERT_TRUE(reading.parameters) << errorsOf(reading);
    const Car shipped;
    const Car changed(*reading.parameters);
    EXPECT_NE(changed.lateralTyreForce(5.0f, 1250.0f), shipped.lateralTyreForce(5.0f, 1250.0f));
    EXPECT_EQ(changed.longitudinalTyreForce(0.5f, 1250.0f), shipped.longitudinalTyreForce(0.5f, 1250.0f));
}

} // namespace
} // namespace torvane
