// Files and folders of the running test's own in the temporary folder, named
// after the process (ctest runs the tests side by side, each in a process of
// its own). A scratch folder, named after the test too, is empty when made and
// removed with its object; a file of writeTemp stays until the test removes it.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace torvane {

using Bytes = std::vector<std::uint8_t>;

// Writes bytes to a file of the test's own in the temporary folder; returns its path.
inline std::string writeTemp(const std::string& name, const Bytes& bytes)
{
    const std::string path = testing::TempDir() + "torvane-" + std::to_string(getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    return path;
}

inline std::string writeTemp(const std::string& name, const std::string& text)
{
    return writeTemp(name, Bytes(text.begin(), text.end()));
}

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
