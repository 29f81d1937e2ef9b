// Every input that once made a fuzz program fail, fed again to its reader with
// the same checks: inputs/<reader>/<file>, the folder naming the reader.
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "input_checks.h"
#include "core/file_contents.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryKeptInputIsHandledSoundlyByItsReader)
{
    int inputs = 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(TORVANE_FUZZ_INPUTS)) {
        const InputCheck check = inputCheckNamed(folder.path().filename().string());
        ASSERT_NE(check, nullptr) << "no reader named by " << folder.path();
        for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
            const std::optional<std::string> contents = readFileContents(file.path().c_str());
            ASSERT_TRUE(contents) << file.path();
            EXPECT_EQ(check(bytesOf(*contents)), "") << file.path();
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0);
}

} // namespace
} // namespace torvane
