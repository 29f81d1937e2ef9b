// Tests that run in the game's data folder (TORVANE_DATA_DIR), where the game's
// start-up finds its level, car and meshes. The working folder is given back
// after each test, so that the tests after it in the same program run where
// they expect (no maps/ folder there).
#pragma once

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

namespace torvane {

struct InGameDataFolder : ::testing::Test {
    void SetUp() override { ASSERT_EQ(chdir(TORVANE_DATA_DIR), 0) << TORVANE_DATA_DIR; }
    void TearDown() override { std::filesystem::current_path(workingFolder); }

    const std::filesystem::path workingFolder = std::filesystem::current_path();
};

} // namespace torvane
