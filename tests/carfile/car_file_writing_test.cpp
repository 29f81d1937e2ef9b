// Writing car files: any model within the reader's ranges reads back to the
// bit; a new file never replaces one, and a refused name or value writes nothing.
#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>
#include <random>
#include <string>

#include "carfile/car_file.h"
#include "carfile/car_file_fields.h"
#include "carfile/car_file_writing.h"
#include "core/file_contents.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

// A model with every field drawn at random within its accepted range, on a
// logarithmic scale where the range spans decades, so tiny and huge floats occur.
CarParameters randomModel(std::mt19937& random)
{
    CarParameters model;
    for (const CarFileField& field : carFileFields()) {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        float value = field.lowest + unit(random) * (field.highest - field.lowest);
        if (field.lowest >= 0.0f && field.highest > 1000.0f) {
            value = field.highest * std::pow(10.0f, -12.0f * unit(random));
        }
        field.in(model) = acceptsValue(field, value) ? value : field.highest;
    }
    return model;
}

TEST(CarFileWriting, EveryModelReadsBackToTheBit)
{
    std::mt19937 random(16);
    for (int round = 0; round < 2000; ++round) {
        const CarParameters model = randomModel(random);
        const CarFileReading reading = parseCarFile(carFileText(model));
        ASSERT_TRUE(reading.errors.empty()) << reading.errors.front().field << ": " << reading.errors.front().problem;
        ASSERT_TRUE(*reading.parameters == model) << carFileText(model);
    }
}

struct NewCarFile : ::testing::Test {
    const ScratchFolder scratch;
    const std::string folder = scratch / "cars"; // made by the writer
};

TEST_F(NewCarFile, IsWrittenInAFreshFolderAndNeverReplacesAnother)
{
    CarParameters model;
    model.tyres.gripFactor = 2.25f;
    ASSERT_EQ(writeNewCarFile(folder, "grippy", model), CarFileWrite::Written);
    const std::string path = carFilePath(folder, "grippy");
    EXPECT_TRUE(*readCarFile(path).parameters == model);

    const std::string before = readFileContents(path.c_str()).value_or("");
    EXPECT_EQ(writeNewCarFile(folder, "grippy", CarParameters{}), CarFileWrite::Exists);
    EXPECT_EQ(readFileContents(path.c_str()).value_or(""), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temporary left behind";
}

TEST_F(NewCarFile, RefusedNamesAndValuesWriteNothing)
{
    for (const char* name : {"", "../up", "a/b", ".hidden", "voiture rapide", "é", "car.toml",
                             "0123456789012345678901234567890123456789012345678901234567890123456789"}) {
        EXPECT_EQ(writeNewCarFile(folder, name, CarParameters{}), CarFileWrite::BadName) << name;
    }
    CarParameters weightless;
    weightless.body.mass = 0.0f;
    EXPECT_EQ(writeNewCarFile(folder, "weightless", weightless), CarFileWrite::OutOfRange);
    EXPECT_FALSE(std::filesystem::exists(carFilePath(folder, "weightless")));
    EXPECT_EQ(writeNewCarFile("/proc/torvane/cars", "car", CarParameters{}), CarFileWrite::Failed);
}

} // namespace
} // namespace torvane
