// A folder of the running test's own in the temporary folder, named after the
// test and the process (ctest runs the tests side by side, each in a process of
// its own): empty when made, removed with its object.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace torvane {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The path of name inside the folder.
    std::string operator/(std::string_view name) const { return (path / name).string(); }

    const std::filesystem::path path = std::filesystem::path(testing::TempDir()) / uniqueName();

private:
    static std::string uniqueName()
    {
        const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("torvane-") + test.test_suite_name() + "." + test.name() + "-"
                           + std::to_string(getpid());
        std::replace(name.begin(), name.end(), '/', '_'); // parameterised tests' names
        return name;
    }
};

} // namespace torvane
