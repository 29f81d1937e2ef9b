// Car files and recordings come from other players: one that is a symbolic
// link, a pipe, a device, a folder or a huge file is refused with its cause in
// the player's words, and reading it never waits.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/car_loading.h"
#include "app/drive_viewing.h"
#include "app/game.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "recording/recording.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

TEST(SharedFiles, LinksPipesDevicesFoldersAndHugeFilesAreRefusedWithTheirCauseWithoutWaiting)
{
    const fs::path folder = fs::temp_directory_path() / ("torvane_shared_files_" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::copy_file(TORVANE_DATA_DIR "/cars/car.toml", folder / "sound.toml");
    struct Row {
        const char* what;
        std::function<fs::path()> make;
        FileFault fault;
    };
    const Row rows[] = {
        {"a link to a sound car file",
         [&] {
             fs::create_symlink(folder / "sound.toml", folder / "link");
             return folder / "link";
         },
         FileFault::SymbolicLink},
        {"a pipe nobody writes",
         [&] {
             mkfifo((folder / "pipe").c_str(), 0600);
             return folder / "pipe";
         },
         FileFault::NotRegularFile},
        {"a device", [] { return fs::path("/dev/zero"); }, FileFault::NotRegularFile},
        {"a folder", [&] { return folder; }, FileFault::NotRegularFile},
        {"a sparse 300 MB file",
         [&] {
             std::ofstream(folder / "huge") << "x";
             fs::resize_file(folder / "huge", std::uintmax_t{300} << 20);
             return folder / "huge";
         },
         FileFault::TooLarge},
    };
    alarm(30); // a reader that waits on the pipe ends the program here
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = row.make().string();
        const std::string why(fileFaultText(row.fault));

        ScopedMessageCapture messages;
        Game game;
        game.carSource.path = path;
        loadStartCar(game);
        EXPECT_FALSE(game.carSource.fromFile);
        ASSERT_EQ(messages.boxes().size(), 1u);
        EXPECT_EQ(messages.boxes()[0], std::string(kErrorCaption) + ": " + path + " refusé : " + why);

        std::string recordingWhy;
        EXPECT_FALSE(readRecordingFor(path, 0, &recordingWhy));
        EXPECT_EQ(readRecording(path).fault, row.fault);
        EXPECT_EQ(recordingWhy, why);
    }
    alarm(0);
    fs::remove_all(folder);
}

} // namespace
} // namespace torvane
