// Recorded drives on the game's real start-up and frames (headless device): a
// keyframe restored into a fresh game drives on bit for bit; a drive recorded
// through DriveRecorder (keys, pads, pauses, a car reload) replays from its
// file with every state hash identical, and a keys-only drive as a key script
// drives the same; recording a steady frame allocates
// nothing on the frame's thread; a recorded frame's keys and pads win over the
// devices attached, for that frame only.
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/drive_recorder.h"
#include "app/recorded_play.h"
#include "input/key_script.h"
#include "render/headless_device.h"
#include "replay/recording_keys.h"
#include "support/allocation_counter.h"
#include "support/game_data_folder.h"
#include "support/held_keys.h"
#include "support/scratch_folder.h"
#include "support/shipped_car.h"

namespace torvane {
namespace {

// A frame a restless player might give: the arrows mostly, now and then a
// pause, a reset or a camera key, sometimes a pad, frame times of 1/200 to 1/40 s.
RecordedFrame randomFrame(std::mt19937_64& random)
{
    const auto chance = [&random](unsigned percent) { return random() % 100 < percent; };
    RecordedFrame frame;
    frame.frameTime = 1.0f / static_cast<float>(40 + random() % 161);
    const auto hold = [&frame](KeyCode key) { frame.keys |= drivingKeyBits({key}); };
    for (const KeyCode key : {kKeyUp, kKeyLeft, kKeyRight, kKeyDown, kKeyRightControl}) {
        if (chance(key == kKeyUp ? 70 : 20)) {
            hold(key);
        }
    }
    for (const KeyCode key : {kKeyP, kKeyBackspace, kKeyV, kKeyF3}) {
        if (chance(1)) {
            hold(key);
        }
    }
    if (chance(30)) {
        frame.pads = {static_cast<float>(random() % 201) / 100.0f - 1.0f, static_cast<float>(random() % 101) / 100.0f,
                      0.0f, chance(5) ? padButtonBit(PadButton::Y) : 0u};
    }
    return frame;
}

class DriveRecording : public InGameDataFolder {
protected:
    // A game after the real start-up, with the shipped car file.
    std::unique_ptr<Game> startGame()
    {
        auto game = std::make_unique<Game>();
        game->carSource.path = "cars/car.toml";
        devices.push_back(std::make_unique<HeadlessDevice>());
        setupDevice(*game, *devices.back());
        return game;
    }
    // Plays frames on game, recorded by recorder if given; the car's state hash after each.
    std::vector<std::uint64_t> play(Game& game, const std::vector<RecordedFrame>& frames,
                                    DriveRecorder* recorder = nullptr)
    {
        std::vector<std::uint64_t> hashes;
        for (const RecordedFrame& frame : frames) {
            playRecordedFrame(game, frame, nullptr);
            clearLogs();
            if (recorder != nullptr) {
                recorder->recordFrame(game, frame.frameTime);
            }
            hashes.push_back(carStateHash(captureCarState(game.playerCar)));
        }
        return hashes;
    }
    // The headless devices log every call; the tests keep none of it.
    void clearLogs()
    {
        for (const auto& device : devices) {
            device->clearLog();
        }
    }
    std::vector<RecordedFrame> randomFrames(std::uint64_t seed, int count)
    {
        std::mt19937_64 random(seed);
        std::vector<RecordedFrame> frames;
        for (int i = 0; i < count; ++i) {
            frames.push_back(randomFrame(random));
        }
        return frames;
    }

    const ScratchFolder folder;
    std::vector<std::unique_ptr<HeadlessDevice>> devices;
};

TEST_F(DriveRecording, KeyframeRestoredIntoAFreshGameDrivesOnBitForBit)
{
    auto game = startGame();
    std::vector<RecordedFrame> before = randomFrames(1, 400);
    std::vector<RecordedFrame> next = randomFrames(2, 400);
    // Start held on the pad across the keyframe: one press, one pause, if the keyframe keeps the pad's hold.
    before.back().pads.buttons = next.front().pads.buttons = padButtonBit(PadButton::Start);
    play(*game, before);
    const Keyframe keyframe = captureKeyframe(*game);
    const std::vector<std::uint64_t> onwards = play(*game, next);

    auto fresh = startGame();
    restoreKeyframe(*fresh, keyframe);
    EXPECT_EQ(play(*fresh, next), onwards);
    EXPECT_EQ(captureKeyframe(*fresh).paused, captureKeyframe(*game).paused);
}

TEST_F(DriveRecording, RecordedDriveReplaysFromItsFileWithEveryHashIdentical)
{
    const std::string path = folder / "drive.tvr";
    auto game = startGame();
    HeadlessDevice& gameDevice = *devices.back();
    std::vector<std::uint64_t> driven;
    {
        auto recorder = DriveRecorder::start(*game, path, 42);
        ASSERT_NE(recorder, nullptr);
        const std::vector<RecordedFrame> frames = randomFrames(3, 1500);
        const std::string heavier = shippedCarText({{"mass = 1000.0", "mass = 1300.0"}});
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (i == 700) {
                game->play.paused = true; // the window lost the focus
                recorder->noteFocusPause();
            }
            if (i == 900) {
                ASSERT_TRUE(takeCarText(*game, heavier, "heavier"));
                recorder->noteCarReloaded(*game);
            }
            gameDevice.setBeginSceneResult(i < 400 || i >= 420); // the window minimised for 20 frames
            if (playRecordedFrame(*game, frames[i], nullptr).simulationSkipped) {
                recorder->noteSimulationSkipped();
            }
            if (i == 1100) { // a slider of the setup panel moved, after the frame's physics
                CarParameters lighter = game->playerCar.getParameters();
                lighter.body.mass = 850.25f;
                game->playerCar.setParameters(lighter);
            }
            clearLogs();
            recorder->recordFrame(*game, frames[i].frameTime);
            driven.push_back(carStateHash(captureCarState(game->playerCar)));
        }
        EXPECT_TRUE(recorder->finish());
    }

    const RecordingRead read = readRecording(path);
    ASSERT_TRUE(read.recording) << read.error;
    const Recording& recording = *read.recording;
    EXPECT_TRUE(recording.complete) << recording.stopNote;
    ASSERT_EQ(recording.frames.size(), driven.size());
    ASSERT_EQ(recording.carReloads.size(), 2u);
    EXPECT_EQ(recording.stateChecks.size(), driven.size() / kStateHashEvery);

    auto replay = startGame();
    ASSERT_TRUE(startRecordedDrive(*replay, recording));
    for (std::uint32_t frame = 1; frame <= recording.frames.size(); ++frame) {
        playRecordedFrame(*replay, recording, frame);
        clearLogs();
        ASSERT_EQ(carStateHash(captureCarState(replay->playerCar)), driven[frame - 1]) << "frame " << frame;
    }
    for (const StateCheck& check : recording.stateChecks) {
        EXPECT_EQ(check.hash, driven[check.frame - 1]);
    }
    // A seek lands on a keyframe, from which the frames after it lead to the same state.
    const std::uint32_t target = 1400;
    const std::uint32_t from = seekRecordedDrive(*replay, recording, target);
    EXPECT_GT(from, 900u);
    for (std::uint32_t frame = from + 1; frame <= target; ++frame) {
        playRecordedFrame(*replay, recording, frame);
    }
    EXPECT_EQ(carStateHash(captureCarState(replay->playerCar)), driven[target - 1]);
}

TEST_F(DriveRecording, AKeysOnlyDriveExportedAsAKeyScriptDrivesTheSame)
{
    const std::string path = folder / "keys.tvr";
    auto game = startGame();
    const Keyframe freshStart = captureKeyframe(*game);
    std::vector<RecordedFrame> frames = randomFrames(4, 600);
    for (RecordedFrame& frame : frames) {
        frame.frameTime = 1.0f / 60.0f;
        frame.pads = {};
    }
    auto recorder = DriveRecorder::start(*game, path, 42);
    ASSERT_NE(recorder, nullptr);
    const std::vector<std::uint64_t> driven = play(*game, frames, recorder.get());
    ASSERT_TRUE(recorder->finish());
    const RecordingRead read = readRecording(path);
    ASSERT_TRUE(read.recording) << read.error;
    std::string refusal;
    const std::optional<std::string> text = recordingKeyScript(*read.recording, freshStart, refusal);
    ASSERT_TRUE(text) << refusal;
    const ParsedKeyScript script = parseKeyScript(*text);
    ASSERT_FALSE(script.error) << script.error->message;

    auto replay = startGame();
    for (int frame = 1; frame <= static_cast<int>(driven.size()); ++frame) {
        replay->keyboardInput.setKeysDown(keysHeldInFrame(script.script, frame));
        runFrame(*replay, 1.0f / 60.0f);
        clearLogs();
        ASSERT_EQ(carStateHash(captureCarState(replay->playerCar)), driven[static_cast<std::size_t>(frame - 1)])
            << "frame " << frame;
    }
    // With a pad's value in it, it is no key script.
    Recording withPad = *read.recording;
    withPad.frames[10].pads.steering = 0.5f;
    EXPECT_FALSE(recordingKeyScript(withPad, freshStart, refusal));
    EXPECT_EQ(refusal, "it holds pad input");
}

// A pad pushing its stick right, always.
struct HeldPad final : PadDevice {
    PadSnapshot read() override { return {1, 1.0f, 0.0f, 0.0f, 0u}; }
};

TEST_F(DriveRecording, ARecordedFrameWinsOverTheAttachedDevicesForThatFrameOnly)
{
    auto game = startGame();
    HeldKeys keys;
    keys.hold(kKeyLeft);
    HeldPad pad;
    game->keyboardInput.attachDevice(&keys);
    game->padInput.attachDevice(&pad);
    const RecordedFrame recorded{1.0f / 60.0f, drivingKeyBits({kKeyUp}), {-0.5f, 0.0f, 0.0f, 0u}, 0};
    playRecordedFrame(*game, recorded, nullptr);
    EXPECT_EQ(game->keyboardInput.drivingKeysDown(), recorded.keys);
    EXPECT_EQ(game->padInput.lastFrame(), recorded.pads);
    runFrame(*game, 1.0f / 60.0f);
    EXPECT_EQ(game->keyboardInput.drivingKeysDown(), drivingKeyBits({kKeyLeft}));
    EXPECT_EQ(game->padInput.lastFrame().steering, 1.0f);
    game->keyboardInput.attachDevice(nullptr);
    game->padInput.attachDevice(nullptr);
}

TEST_F(DriveRecording, RecordingASteadyFrameAllocatesNothing)
{
    auto game = startGame();
    auto recorder = DriveRecorder::start(*game, folder / "steady.tvr", 42);
    ASSERT_NE(recorder, nullptr);
    game->keyboardInput.holdDrivingKeys(drivingKeyBits({kKeyUp, kKeyV}));
    const auto frame = [&] {
        runFrame(*game, 1.0f / 60.0f);
        clearLogs();
        recorder->recordFrame(*game, 1.0f / 60.0f);
        recorder->takeStopNote();
    };
    for (int i = 0; i < 10; ++i) {
        frame();
    }
    const std::size_t before = threadAllocationCount();
    for (int i = 0; i < 3000; ++i) { // keyframes and hashes included
        frame();
    }
    EXPECT_EQ(threadAllocationCount() - before, 0u);
    EXPECT_TRUE(recorder->finish());
}

} // namespace
} // namespace torvane
