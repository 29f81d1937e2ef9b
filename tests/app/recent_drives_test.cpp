#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include "app/recent_drives_menu.h"
#include "render/recording_device.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

struct RecentDrivesTest : ::testing::Test {
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }

    // A file holding text, written at seconds since 1970.
    void write(const std::string& name, const std::string& text, std::int64_t seconds)
    {
        std::ofstream(folder / name) << text;
        const auto time = std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds)));
        fs::last_write_time(folder / name, time);
    }

    // Reads "<seconds> <saved>"; anything else is no recording.
    static std::optional<DriveSummary> summarise(const fs::path& path)
    {
        std::ifstream in(path);
        DriveSummary summary;
        if (!(in >> summary.seconds >> summary.saved)) {
            return std::nullopt;
        }
        return summary;
    }

    const ScratchFolder scratch;
    const fs::path& folder = scratch.path;
};

TEST_F(RecentDrivesTest, ListsNewestFirstWithDateLengthAndKindAndAnUnreadableFileAsSuch)
{
    write("a.rec", "65 0", 1'765'000'000);
    fs::create_directory(folder / "saved");
    write("saved/b.rec", "3725 1", 1'765'100'000);
    write("c.rec", "\x01\xff garbage", 1'765'050'000);
    write("notes.txt", "1 1", 1'765'200'000);
    fs::create_directory(folder / "d.rec");

    const std::vector<RecentDrive> drives = listRecentDrives({folder, folder / "saved"}, ".rec", summarise);

    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(recentDriveLabel(drives[0]), "07/12 09:33  1:02:05  enregistré");
    EXPECT_EQ(recentDriveLabel(drives[1]), "06/12 19:40  c.rec  illisible");
    EXPECT_EQ(recentDriveLabel(drives[2]), "06/12 05:46  01:05  récent");
    EXPECT_TRUE(listRecentDrives({folder / "missing"}, ".rec", summarise).empty());
}

TEST_F(RecentDrivesTest, MenuMovesWithinTheListAndNeverPicksAnUnreadableDrive)
{
    write("a.rec", "10 0", 1'765'000'000);
    write("b.rec", "broken", 1'765'100'000);
    RecentDrivesMenu menu;
    menu.show(listRecentDrives({folder}, ".rec", summarise));
    ASSERT_TRUE(menu.isOpen());

    EXPECT_EQ(menu.press(kKeyUp), MenuChoice::None);
    EXPECT_EQ(menu.selected(), 0);
    EXPECT_EQ(menu.press(kKeyReturn), MenuChoice::None) << "b.rec, newest, is unreadable";
    EXPECT_TRUE(menu.isOpen());
    menu.press(kKeyDown);
    menu.press(kKeyDown);
    EXPECT_EQ(menu.selected(), 1);

    RecordingDevice device;
    device.createFont(20);
    menu.draw(device);
    ASSERT_EQ(device.countCalls(DeviceOperation::DrawText), 1u);
    const std::string drawn = device.textOf(device.getLog().back());
    EXPECT_NE(drawn.find("   07/12 09:33  b.rec  illisible\n> 06/12 05:46  00:10  récent"), std::string::npos)
        << drawn;

    EXPECT_EQ(menu.press(kKeyG), MenuChoice::Ghost);
    EXPECT_EQ(menu.chosenPath(), folder / "a.rec");
    EXPECT_FALSE(menu.isOpen());

    menu.show({});
    EXPECT_EQ(menu.press(kKeyReturn), MenuChoice::None) << "an empty list picks nothing";
    EXPECT_EQ(menu.press(kKeyEscape), MenuChoice::Closed);
}

} // namespace
} // namespace torvane
