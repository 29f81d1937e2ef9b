// The data folder search: the order of the places (a named folder that is
// wrong reported instead of replaced), an install found beside its program
// (moved elsewhere too: install_test.py), the build tree's note, and every place
// named when none holds the game's files, and a folder missing one file still taken.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/data_folder.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

class DataFolderSearchTest : public testing::Test {
protected:
    const ScratchFolder scratch;
    const fs::path& root = scratch.path;

    // A data folder at root/relative: a folder holding maps/city.ldo.
    std::string makeData(const std::string& relative)
    {
        fs::create_directories(root / relative / "maps");
        std::ofstream(root / relative / "maps" / "city.ldo") << "1\n";
        return (root / relative).string();
    }
};

TEST_F(DataFolderSearchTest, TakesThePlacesInOrderAndNeverReplacesANamedFolder)
{
    const std::string given = makeData("given");
    const std::string environment = makeData("environment");
    const std::string installed = makeData("prefix/share/torvane");
    const std::string program = (root / "prefix" / "bin").string() + "/";
    fs::create_directories(program);

    EXPECT_EQ(findDataFolder({given, environment, program}).folder, given);
    EXPECT_EQ(findDataFolder({"", environment, program}).folder, environment);
    EXPECT_EQ(findDataFolder({"", "", program}).folder, installed);

    // A named folder that is wrong is reported, never replaced by the install (for --data, by the
    // build tree's data: replay_tool test_a_data_folder_lacking_its_level_file_drives_without_the_city).
    const DataFolderSearch wrongEnvironment = findDataFolder({"", "no-such-folder", program});
    EXPECT_FALSE(wrongEnvironment.folder);
    ASSERT_EQ(wrongEnvironment.lookedIn.size(), 1u);
    EXPECT_EQ(lookedInLine(wrongEnvironment.lookedIn[0]), "no-such-folder: cannot enter the data folder (TORVANE_DATA)");
}

TEST_F(DataFolderSearchTest, TheBuildTreeNoteNamesTheSourceData)
{
    const std::string source = makeData("source/game");
    fs::create_directories(root / "build");
    std::ofstream(root / "build" / kSourceDataNote) << source << "\n";
    EXPECT_EQ(findDataFolder({"", "", (root / "build").string()}).folder, source);

    // Without data at either place, both are named.
    fs::remove_all(root / "source");
    const DataFolderSearch none = findDataFolder({"", "", (root / "build").string()});
    EXPECT_FALSE(none.folder);
    ASSERT_EQ(none.lookedIn.size(), 2u);
    EXPECT_EQ(none.lookedIn[0].folder, (root / "share" / "torvane").string());
    EXPECT_EQ(none.lookedIn[1].folder, source);
    EXPECT_EQ(none.lookedIn[1].from, DataFolderClue::kSourceTree);
}

// A folder with maps/, objets/ or cars/ is the data folder even when a file is missing
// or unreadable (the readers name it); one with neither is skipped.
TEST_F(DataFolderSearchTest, AFolderLackingOneFileIsTakenOneWithNoneOfTheGamesFilesIsSkipped)
{
    for (const char* part : {"no_level/maps", "meshes_only/objets", "car_only/cars", "level_is_a_folder/maps/city.ldo"}) {
        fs::create_directories(root / part);
        const fs::path folder = root / fs::path(part).begin()->string();
        EXPECT_EQ(findDataFolder({"", folder.string(), ""}).folder, folder.string()) << part;
    }
    fs::create_directories(root / "other" / "textures");
    const DataFolderSearch other = findDataFolder({(root / "other").string(), "", ""});
    EXPECT_FALSE(other.folder);
    ASSERT_EQ(other.lookedIn.size(), 1u);
    EXPECT_EQ(other.lookedIn[0].problem, DataFolderProblem::kNoGameFiles);
}

} // namespace
} // namespace torvane
