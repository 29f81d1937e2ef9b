#include <memory>

#include <gtest/gtest.h>

#include "app/game.h"
#include "input/key_codes.h"
#include "render/recording_device.h"
#include "support/allocation_counter.h"
#include "support/loopback_sound.h"

namespace torvane {
namespace {

// Steady frames, silent or sounding through a loopback device that renders each frame's samples.
class SteadyFrames : public testing::TestWithParam<bool> {};

TEST_P(SteadyFrames, AllocateNothing)
{
    RecordingDevice device;
    device.addMeshFile("objets/cars/mycar.x", {MeshMaterial{}, MeshMaterial{}});
    device.addMeshFile("objets/skybox/skydome.x", {MeshMaterial{}});
    device.createFont(20);
    auto game = std::make_unique<Game>();
    game->device = &device;
    setupScene(*game);
    // Something to collide with at the car's start, in the first volume slot.
    SceneObject& obstacle = game->cityMap.placedObject(99);
    obstacle.setFootprintLength(10.0f);
    obstacle.setFootprintWidth(10.0f);
    obstacle.setBoundingRadius(10.0f);
    game->cityMap.setLoadedPlacementCount(100);

    SoundScene sound(1.0f, false);
    float samples[2 * kFrameSamples];
    if (GetParam()) {
        ASSERT_TRUE(useLoopback(sound));
        game->sound = &sound;
    }
    auto frame = [&] {
        device.clearLog();
        runFrame(*game, 1.0f / 60.0f);
        if (sound.output() != nullptr) {
            renderFramePeak(sound, samples);
        }
    };
    game->keyboardInput.setKeyByte(kKeyUp, 0x80);
    game->keyboardInput.setKeyByte(kKeyRight, 0x80);
    game->keyboardInput.setKeyByte(kKeyV, 0x80); // every camera mode in turn
    for (int n = 0; n < 10; ++n) {
        frame();
    }
    const std::size_t before = allocationCount();
    for (int n = 0; n < 1000; ++n) {
        frame();
    }
    EXPECT_EQ(allocationCount() - before, 0u);
    const auto probe = std::make_unique<int>(0); // the counter itself counts
    EXPECT_EQ(allocationCount() - before, 1u);
    game->sound = nullptr;
}

INSTANTIATE_TEST_SUITE_P(SilentOrSounding, SteadyFrames, testing::Bool());

} // namespace
} // namespace torvane
