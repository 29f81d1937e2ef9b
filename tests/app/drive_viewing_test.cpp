// The viewing of recorded drives beside driving, with a keyboard of the
// test's own: the list, watching, taking over and leaving, and the Escape
// that closes the list or leaves a drive never quitting the game; the files
// read for the list and for watching, damaged or of other level data.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/drive_recorder.h"
#include "app/drive_viewing.h"
#include "app/recorded_play.h"
#include "car/car_state.h"
#include "core/file_contents.h"
#include "core/player_messages.h"
#include "support/held_keys.h"
#include "support/recorded_scene.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

constexpr float kFrameTime = 1.0f / 60.0f;
constexpr std::uint64_t kLevel = 11;

struct DriveViewingTest : ::testing::Test {
    DriveViewingTest()
    {
        game->keyboardInput.attachDevice(&keyboard);
        viewing.setInputDevices(&keyboard, nullptr);
    }

    // Drives frames frames with Up held, recorded into folder/name.
    void recordDrive(const std::string& name, int frames)
    {
        std::unique_ptr<DriveRecorder> recorder = DriveRecorder::start(*game, folder / name, kLevel);
        ASSERT_NE(recorder, nullptr);
        press(kKeyUp, true);
        for (int frame = 0; frame < frames; ++frame) {
            drive();
            recorder->recordFrame(*game, kFrameTime);
        }
        press(kKeyUp, false);
        ASSERT_TRUE(recorder->finish());
    }

    void press(KeyCode key, bool down) { keyboard.hold(key, down); }

    // A key pressed for one driving frame, then let go.
    FrameActions tap(KeyCode key, ViewingChange* change = nullptr)
    {
        press(key, true);
        const FrameActions actions = drive(change);
        press(key, false);
        return actions;
    }

    // One driving frame as the game's loop runs it.
    FrameActions drive(ViewingChange* change = nullptr)
    {
        viewing.beforeDrivingFrame(kFrameTime);
        FrameActions actions = runFrame(*game, kFrameTime);
        const ViewingChange changed = viewing.afterDrivingFrame(actions);
        if (change != nullptr) {
            *change = changed;
        }
        return actions;
    }

    ViewingChange watchFrame()
    {
        FrameActions actions;
        return viewing.watchFrame(kFrameTime, actions);
    }

    const ScratchFolder folder;
    RecordedScene scene;
    std::unique_ptr<Game>& game = scene.game;
    HeldKeys keyboard;
    DriveViewing viewing{*game, folder.path, kLevel};
};

TEST_F(DriveViewingTest, TheListWatchesADriveTakingOverKeepsItsStateAndEscapeNeverQuits)
{
    recordDrive("drive.tvr", 120);

    tap(kKeyL);
    EXPECT_TRUE(game->recentDrives.isOpen());
    EXPECT_TRUE(game->play.paused) << "the list pauses the drive";
    ViewingChange change = ViewingChange::None;
    tap(kKeyReturn, &change);
    ASSERT_EQ(change, ViewingChange::DriveEnded);
    ASSERT_TRUE(viewing.isWatching());
    EXPECT_FALSE(game->play.paused);

    for (int frame = 0; frame < 30; ++frame) {
        EXPECT_EQ(watchFrame(), ViewingChange::None);
    }
    const std::uint64_t shown = carStateHash(captureCarState(game->playerCar));
    press(kKeyT, true);
    EXPECT_EQ(watchFrame(), ViewingChange::DriveStarted);
    EXPECT_FALSE(viewing.isWatching());
    EXPECT_EQ(carStateHash(captureCarState(game->playerCar)), shown) << "taken over in the state shown";
    press(kKeyT, false);

    // Watching again, then Escape: back where the player was, and the held Escape does not quit.
    ASSERT_TRUE(viewing.watch(folder / "drive.tvr"));
    watchFrame();
    press(kKeyEscape, true);
    EXPECT_EQ(watchFrame(), ViewingChange::DriveStarted);
    EXPECT_EQ(carStateHash(captureCarState(game->playerCar)), shown);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(drive().quitRequested) << "frame " << frame;
    }
    press(kKeyEscape, false);
    drive();
    EXPECT_TRUE(tap(kKeyEscape).quitRequested) << "a new press of Escape quits";
    drive();

    // The list closed by Escape leaves the game running too.
    tap(kKeyL);
    press(kKeyEscape, true);
    EXPECT_FALSE(drive().quitRequested);
    EXPECT_FALSE(game->recentDrives.isOpen());
    EXPECT_FALSE(drive().quitRequested);
}

TEST_F(DriveViewingTest, GShowsTheNewestDriveAsTheGhostAndHidesIt)
{
    tap(kKeyG);
    EXPECT_FALSE(game->ghostShown) << "no drive yet";
    EXPECT_EQ(game->play.notice, kNoGhostDrive);

    recordDrive("drive.tvr", 60);
    tap(kKeyG);
    EXPECT_TRUE(game->ghostShown);
    drive();
    tap(kKeyG);
    EXPECT_FALSE(game->ghostShown);
}

// The list around the summaries is RecentDrivesTest's.
TEST_F(DriveViewingTest, RecordingFilesAreSummarisedReadOrRefusedAndADamagedOneIsUnreadable)
{
    recordDrive("drive.tvr", 90);
    const std::string path = folder / "drive.tvr";
    std::filesystem::create_directories(folder.path / "saved");
    std::filesystem::copy_file(path, folder / "saved/kept.tvr");
    std::ofstream(folder / "cut.tvr", std::ios::binary) << readFileContents(path.c_str()).value_or("").substr(0, 20);
    std::ofstream(folder / "noise.tvr", std::ios::binary) << "\x89TVR not at all";

    for (const bool saved : {false, true}) {
        const std::optional<DriveSummary> summary = summariseRecording(saved ? folder / "saved/kept.tvr" : path);
        ASSERT_TRUE(summary) << saved;
        EXPECT_NEAR(summary->seconds, 1.5, 1e-4);
        EXPECT_EQ(summary->saved, saved);
    }
    EXPECT_FALSE(summariseRecording(folder / "cut.tvr"));
    EXPECT_FALSE(summariseRecording(folder / "noise.tvr"));

    EXPECT_TRUE(readRecordingFor(path, kLevel));
    EXPECT_FALSE(readRecordingFor(path, kLevel + 1)) << "driven on other level data";
    EXPECT_FALSE(readRecordingFor(folder / "noise.tvr", kLevel));
}

} // namespace
} // namespace torvane
