// Atomic files: a target is replaced whole or not at all, and no temporary is
// ever left beside it.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "core/atomic_file.h"
#include "core/file_contents.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

struct TempFolder : ScratchFolder {
    int entries() const { return static_cast<int>(std::distance(fs::directory_iterator(path), {})); }
};

TEST(AtomicFile, ReplacesTheTargetOnlyWhenCommitted)
{
    const TempFolder folder;
    const std::string target = (folder.path / "out.csv").string();
    std::ofstream(target) << "previous work\n";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    {
        AtomicFile file(target);
        ASSERT_TRUE(file.isOpen());
        std::fputs("half a run", file.file());
        EXPECT_EQ(readFileContents(target.c_str()), "previous work\n") << "untouched while written";
    } // abandoned
    EXPECT_EQ(readFileContents(target.c_str()), "previous work\n");
    EXPECT_EQ(folder.entries(), 1) << "no temporary left";

    AtomicFile staged(target);
    std::fputs("a whole run\n", staged.file());
    ASSERT_TRUE(staged.finish());
    EXPECT_EQ(readFileContents(target.c_str()), "previous work\n") << "finished is not committed";
    ASSERT_TRUE(staged.commit());
    EXPECT_EQ(readFileContents(target.c_str()), "a whole run\n");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
        << "the target keeps its mode";
    EXPECT_EQ(folder.entries(), 1);

    AtomicFile discarded(target);
    discarded.discard();
    EXPECT_FALSE(discarded.commit());
    EXPECT_EQ(readFileContents(target.c_str()), "a whole run\n");

    AtomicFile nowhere((folder.path / "missing" / "out.csv").string());
    EXPECT_FALSE(nowhere.isOpen());
    EXPECT_FALSE(nowhere.commit());
    EXPECT_EQ(folder.entries(), 1);
}

TEST(ReadFile, RefusesBeforeReadingAndSaysWhy)
{
    const ScratchFolder folder;
    const fs::path path = folder.path / "read";
    std::ofstream(path) << std::string(100, 'x');
    EXPECT_EQ(readFile(path.c_str(), 100).contents, std::string(100, 'x'));
    EXPECT_EQ(readFile(path.c_str(), 99).fault, FileFault::TooLarge);
    EXPECT_FALSE(readFile(path.c_str(), 99).contents);
    // Level files, meshes and images may be links inside the data folder; shared files may not.
    const fs::path link = path.string() + ".link";
    fs::create_symlink(path, link);
    EXPECT_EQ(readFile(link.c_str(), 100).contents, std::string(100, 'x'));
    EXPECT_EQ(readFile(link.c_str(), 100, FinalLink::Refuse).fault, FileFault::SymbolicLink);
    fs::resize_file(path, std::uintmax_t{8} << 30); // sparse: 8 GB that take no disk
    EXPECT_EQ(readFile(path.c_str(), kMaxInputFileBytes).fault, FileFault::TooLarge);
    EXPECT_FALSE(readFileContents(path.c_str()));
    fs::remove(path);
    EXPECT_EQ(readFile(path.c_str(), 100).fault, FileFault::NotFound);
    EXPECT_EQ(readFile(folder.path.c_str(), 100).fault, FileFault::NotRegularFile);
    EXPECT_EQ(readFile("/proc/self/status", 1 << 20).fault, FileFault::NoFault) << "a size of 0 that holds text";
    EXPECT_FALSE(readFile("/proc/self/status", 1 << 20).contents.value_or("").empty());
}

} // namespace
} // namespace torvane
