#include <memory>

#include <gtest/gtest.h>

#include "app/game.h"
#include "input/key_codes.h"
#include "render/recording_device.h"
#include "support/allocation_counter.h"

namespace torvane {
namespace {

TEST(SteadyFrames, AllocateNothing)
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

    game->keyboardInput.setKeyByte(kKeyUp, 0x80);
    game->keyboardInput.setKeyByte(kKeyRight, 0x80);
    game->keyboardInput.setKeyByte(kKeyV, 0x80); // every camera mode in turn
    for (int frame = 0; frame < 10; ++frame) {
        device.clearLog();
        runFrame(*game, 1.0f / 60.0f);
    }
    const std::size_t before = allocationCount();
    for (int frame = 0; frame < 1000; ++frame) {
        device.clearLog();
        runFrame(*game, 1.0f / 60.0f);
    }
    EXPECT_EQ(allocationCount() - before, 0u);
    const auto probe = std::make_unique<int>(0); // the counter itself counts
    EXPECT_EQ(allocationCount() - before, 1u);
}

} // namespace
} // namespace torvane
