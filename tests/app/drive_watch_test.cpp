// Watching a recorded drive and racing its ghost, on the recording device: the
// states shown are the drive's own, to the bit, however the viewer moves.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/drive_viewing.h"
#include "app/recorded_play.h"
#include "car/car_state.h"
#include "support/allocation_counter.h"
#include "support/held_keys.h"
#include "support/recorded_scene.h"
#include "support/loopback_sound.h"

namespace torvane {
namespace {

constexpr float kFrameTime = 1.0f / 60.0f;
constexpr std::uint32_t kFrames = 400;
constexpr std::uint32_t kKeyframeEvery = 50;

std::uint64_t carHash(const Game& game)
{
    return carStateHash(captureCarState(game.playerCar));
}

struct DriveWatchTest : ::testing::Test {
    DriveWatchTest()
    {
        scene.start(*watching);
        recordDrive();
        device.clearLog();
    }

    // Drives kFrames frames (accelerating, steering one way then the other, a
    // reset at frame 300) and keeps them as a recording, with each frame's car hash.
    void recordDrive()
    {
        recording.header.keyframeEvery = kKeyframeEvery;
        recording.header.start = captureKeyframe(driven);
        hashes.push_back(carHash(driven));
        for (std::uint32_t frame = 1; frame <= kFrames; ++frame) {
            RecordedFrame recorded;
            recorded.frameTime = kFrameTime;
            recorded.keys = frame < 150    ? drivingKeyBits({kKeyUp, kKeyLeft})
                            : frame < 300  ? drivingKeyBits({kKeyUp, kKeyRight})
                            : frame == 300 ? drivingKeyBits({kKeyBackspace})
                                           : drivingKeyBits({kKeyUp});
            recording.frames.push_back(recorded);
            playRecordedFrame(driven, recorded, nullptr);
            hashes.push_back(carHash(driven));
            if (frame % kKeyframeEvery == 0) {
                recording.keyframes.push_back({frame, captureKeyframe(driven)});
            }
        }
        recording.complete = true;
    }

    // A displayed frame with the keys named pressed.
    WatchRequest show(DriveWatch& watch, std::initializer_list<KeyCode> pressed = {})
    {
        KeyPresses keys;
        for (KeyCode code : pressed) {
            keys.setDown(code, true);
        }
        device.clearLog();
        return watch.showFrame(*watching, keys, kFrameTime);
    }

    ~DriveWatchTest() { driven.sound = watching->sound = nullptr; }

    // Game heard through sound, a loopback device rendering each frame's samples; false after a test failure.
    static bool hear(Game& game, SoundScene& sound)
    {
        game.sound = &sound;
        return useLoopback(sound);
    }

    RecordedScene scene;
    RecordingDevice& device = scene.device;
    Game& driven = *scene.game;
    std::unique_ptr<Game> watching = std::make_unique<Game>();
    Recording recording;
    std::vector<std::uint64_t> hashes; // hashes[i]: the car after frame i
};

TEST_F(DriveWatchTest, StepsSeeksSpeedsAndCamerasShowTheDrivesOwnStates)
{
    DriveWatch watch;
    ASSERT_TRUE(watch.start(*watching, recording));
    EXPECT_EQ(carHash(*watching), hashes[0]);

    // ×1 at the recording's own rate: one frame a picture; ×2: two; ×4: four.
    for (const std::uint32_t frame : {1u, 3u, 7u}) {
        show(watch);
        EXPECT_EQ(watch.frame(), frame);
        watch.clock().faster(); // ×4 stays ×4
    }
    EXPECT_EQ(carHash(*watching), hashes[7]);

    // Paused, Right steps on and Left steps back, through the keyframe before.
    watch.goTo(*watching, 130);
    show(watch, {kKeySpace});
    EXPECT_FALSE(watch.clock().isPlaying());
    show(watch, {kKeyRight});
    EXPECT_EQ(watch.frame(), 131u);
    EXPECT_EQ(carHash(*watching), hashes[131]);
    for (int back = 0; back < 40; ++back) {
        show(watch, {kKeyLeft});
    }
    EXPECT_EQ(watch.frame(), 91u);
    EXPECT_EQ(carHash(*watching), hashes[91]) << "stepped back over the keyframe at 100";
    show(watch, {kKeyRight});
    EXPECT_EQ(carHash(*watching), hashes[92]);

    // Playing, Right and Left seek 5 s (300 frames at 60 a second), then ×4 plays on.
    show(watch, {kKeySpace});
    EXPECT_EQ(watch.frame(), 96u);
    show(watch, {kKeyRight});
    EXPECT_NEAR(watch.frame(), 400, 1) << "396, then four more";
    show(watch, {kKeyRight});
    EXPECT_EQ(watch.frame(), kFrames) << "no further than the end, where it pauses";
    EXPECT_EQ(carHash(*watching), hashes[kFrames]);
    EXPECT_FALSE(watch.clock().isPlaying());
    EXPECT_NE(std::string(watch.barText()).find("=]  00:06 / 00:06  ×4  PAUSE"), std::string::npos)
        << watch.barText();
    show(watch, {kKeySpace});
    EXPECT_EQ(watch.frame(), 4u) << "Space at the end plays from the start";
    watch.goTo(*watching, 350);
    show(watch, {kKeyLeft});
    EXPECT_NEAR(watch.frame(), 54, 1);
    EXPECT_EQ(carHash(*watching), hashes[watch.frame()]);
    show(watch, {kKeyEnd});
    show(watch, {kKeyHome});
    EXPECT_EQ(watch.frame(), 0u) << "paused at the end, Home stays paused";
    EXPECT_EQ(carHash(*watching), hashes[0]);

    // The cameras are the viewer's; T and Escape ask to take the car over and to leave.
    show(watch, {kKeyF5, kKeyRight});
    EXPECT_EQ(watching->camera.getMode(), 4);
    EXPECT_EQ(show(watch, {kKeyT}), WatchRequest::TakeOver);
    EXPECT_EQ(carHash(*watching), hashes[1]) << "handed over in the state shown";
    EXPECT_EQ(show(watch, {kKeyEscape}), WatchRequest::Leave);
}

TEST_F(DriveWatchTest, SteadyDrivingWatchingAndTheGhostAllocateNothing)
{
    DriveWatch watch;
    ASSERT_TRUE(watch.start(*watching, recording));
    std::unique_ptr<Ghost> ghost = Ghost::race(driven, recording);
    ASSERT_NE(ghost, nullptr);
    // The driven car back at its start, inside something to collide with in the first volume slot,
    // steering and going through every camera mode in turn.
    restoreKeyframe(driven, recording.header.start);
    SceneObject& obstacle = driven.cityMap.placedObject(99);
    obstacle.setFootprintLength(10.0f);
    obstacle.setFootprintWidth(10.0f);
    obstacle.setBoundingRadius(10.0f);
    driven.cityMap.setLoadedPlacementCount(100);
    for (const KeyCode key : {kKeyUp, kKeyRight, kKeyV}) {
        driven.keyboardInput.setKeyByte(key, 0x80);
    }
    driven.ghostShown = true;
    // Both heard through loopback devices that render each frame's samples, thumps included.
    SoundScene drivenSound(1.0f, false);
    SoundScene watchedSound(1.0f, false);
    ASSERT_TRUE(hear(driven, drivenSound) && hear(*watching, watchedSound));
    float samples[2 * kFrameSamples];
    const auto frames = [&](int count) {
        for (int frame = 0; frame < count; ++frame) {
            show(watch);
            ghost->follow(driven, kFrameTime);
            runFrame(driven, kFrameTime); // draws the ghost
            renderFramePeak(drivenSound, samples);
            renderFramePeak(watchedSound, samples);
        }
    };
    frames(10);
    const std::size_t before = allocationCount();
    frames(1000);
    EXPECT_EQ(allocationCount() - before, 0u);
    const auto probe = std::make_unique<int>(0); // the counter itself counts
    EXPECT_EQ(allocationCount() - before, 1u);
}

TEST_F(DriveWatchTest, AWatchedDriveSoundsWhilePlayingAndIsSilentPausedOrAtTheEnd)
{
    SoundScene sound(1.0f, false);
    ASSERT_TRUE(hear(*watching, sound));
    DriveWatch watch;
    ASSERT_TRUE(watch.start(*watching, recording));
    float samples[2 * kFrameSamples];
    // Each displayed frame: (keys, whether it is heard), its first frame rendered through the gain's fade.
    const struct {
        std::initializer_list<KeyCode> keys;
        bool heard;
    } frames[] = {{{}, true}, {{kKeySpace}, false}, {{}, false}, {{kKeySpace}, true}, {{kKeyEnd}, false}};
    for (const auto& frame : frames) {
        show(watch, frame.keys);
        renderFramePeak(sound, samples);
        for (int n = 0; n < 5; ++n) {
            show(watch);
            EXPECT_EQ(renderFramePeak(sound, samples) > 0.01f, frame.heard) << watch.frame();
        }
    }
}

TEST_F(DriveWatchTest, TheGhostDrivesTheRecordedDriveLevelWithThePlayersTime)
{
    std::unique_ptr<Game> player = std::make_unique<Game>();
    scene.start(*player);
    std::unique_ptr<Ghost> ghost = Ghost::race(*player, recording);
    ASSERT_NE(ghost, nullptr);
    Game replayed; // the recorded drive played alone, to compare poses
    scene.start(replayed);
    ASSERT_TRUE(startRecordedDrive(replayed, recording));
    for (std::uint32_t frame = 1; frame <= kFrames; ++frame) { // the recorded reset at 300 included
        ghost->follow(*player, kFrameTime);
        playRecordedFrame(replayed, recording, frame);
        ASSERT_EQ(player->ghostCar.getPosition(), replayed.playerCar.getPosition()) << "frame " << frame;
        ASSERT_EQ(player->ghostCar.getHeading(), replayed.playerCar.getHeading());
    }
    // Paused, the player's time stands still and so does the ghost.
    player->play.paused = true;
    const Vector3 held = player->ghostCar.getPosition();
    ghost->follow(*player, kFrameTime);
    EXPECT_EQ(player->ghostCar.getPosition(), held);
    player->play.paused = false;
    ghost->restart();
    ghost->follow(*player, kFrameTime);
    EXPECT_NE(player->ghostCar.getPosition(), held) << "back at the start";
}

} // namespace
} // namespace torvane
