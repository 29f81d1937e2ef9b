// The file watcher against a file whose stamp the test sets by hand: it looks
// once per interval of the frame times given, reports each change once, and
// looks without allocating.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "core/file_watcher.h"
#include "support/allocation_counter.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

FileStamp fakeStamp;
int looks = 0;

FileStamp readFakeStamp(const std::filesystem::path&)
{
    ++looks;
    return fakeStamp;
}

TEST(FileWatcher, ReportsEachSaveOnceAtTheNextLook)
{
    fakeStamp = {true, 100, 2000};
    looks = 0;
    FileWatcher watcher("car.toml", 1.0f, readFakeStamp);
    EXPECT_EQ(looks, 1);

    fakeStamp.modified = 101; // saved, same size
    for (int frame = 0; frame < 59; ++frame) {
        EXPECT_FALSE(watcher.changed(1.0f / 60.0f)) << frame;
    }
    EXPECT_EQ(looks, 1) << "no look before a second went by";
    EXPECT_TRUE(watcher.changed(1.0f / 30.0f));
    EXPECT_FALSE(watcher.changed(1.0f)) << "the same save again";

    fakeStamp.size = 1999; // saved within the same tick, a byte shorter
    EXPECT_TRUE(watcher.changed(5.0f));
    fakeStamp = {}; // deleted
    EXPECT_TRUE(watcher.changed(1.0f));
    fakeStamp = {true, 102, 1999};
    EXPECT_TRUE(watcher.changed(1.0f));

    // A NaN frame time does not stop the looks for good.
    const int before = looks;
    EXPECT_FALSE(watcher.changed(std::nanf("")));
    EXPECT_FALSE(watcher.changed(1.0f));
    EXPECT_EQ(looks, before + 2);
}

TEST(FileWatcher, RealFilesAreLookedAtWithoutAllocating)
{
    const ScratchFolder folder;
    const std::filesystem::path path = folder.path / "car.toml";
    FileWatcher watcher(path);
    const std::size_t before = allocationCount();
    EXPECT_FALSE(watcher.changed(0.5f));
    EXPECT_FALSE(watcher.changed(0.5f)); // a look at a missing file
    EXPECT_EQ(allocationCount(), before);

    std::ofstream(path) << "mass = 1\n";
    EXPECT_TRUE(watcher.changed(1.0f));
    const std::size_t unchanged = allocationCount();
    EXPECT_FALSE(watcher.changed(1.0f));
    EXPECT_EQ(allocationCount(), unchanged);
}

} // namespace
} // namespace torvane
