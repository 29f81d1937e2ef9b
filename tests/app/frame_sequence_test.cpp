// The frame sequence against the recording device: what a frame asks of the
// device, in which order, and what a failed scene begin leaves untouched.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/game.h"
#include "input/key_codes.h"
#include "support/recorded_scene.h"

namespace torvane {
namespace {

struct FrameFixture : ::testing::Test {
    std::vector<DeviceOperation> operations() const
    {
        std::vector<DeviceOperation> result;
        for (const DeviceCall& call : device.getLog()) {
            result.push_back(call.operation);
        }
        return result;
    }

    RecordedScene scene;
    RecordingDevice& device = scene.device;
    std::unique_ptr<Game>& game = scene.game;
};

TEST_F(FrameFixture, FrameDrawsInOrder)
{
    EXPECT_EQ(game->playerCar.getScale(), Vector3(1.0f, 1.0f, 1.0f));

    runFrame(*game, 0.02f);
    using Op = DeviceOperation;
    // Clear, begin, three overlay texts, projection and view, then the sky (view
    // swapped, depth off, world, material, texture, subset, view back, depth on),
    // the car, and no city (no level files here), end, present.
    const std::vector<Op> expected = {
        Op::Clear,          Op::BeginScene,     Op::DrawText,       Op::DrawText,       Op::DrawText,
        Op::SetTransform,   Op::SetTransform,   Op::SetTransform,   Op::SetRenderState, Op::SetRenderState,
        Op::SetTransform,   Op::SetMaterial,    Op::SetTexture,     Op::DrawSubset,     Op::SetTransform,
        Op::SetRenderState, Op::SetRenderState, Op::SetTransform,   Op::SetMaterial,    Op::SetTexture,
        Op::DrawSubset,     Op::EndScene,       Op::Present};
    EXPECT_EQ(operations(), expected);
    EXPECT_EQ(device.getLog()[0].depth, 1.0f) << "the clear depth; the colour is kClearColour";
    EXPECT_EQ(game->playerCar.getScale(), Vector3(2.0f, 2.0f, 2.0f));
}

// The states a translucent draw sets and restores are TranslucentDrawing's; here, that the ghost is drawn so, last.
TEST_F(FrameFixture, TheGhostDrawsLastTranslucentOnlyWhileShown)
{
    game->ghostCar = game->playerCar;
    game->ghostShown = true;
    runFrame(*game, 0.02f);
    EXPECT_EQ(device.countCalls(DeviceOperation::DrawSubset), 3u) << "sky, car, ghost";
    EXPECT_EQ(device.getMaterial().diffuse.a, kGhostOpacity) << "the last draw is the ghost's, faded";

    game->ghostShown = false;
    device.clearLog();
    runFrame(*game, 0.02f);
    EXPECT_EQ(device.countCalls(DeviceOperation::DrawSubset), 2u);
}

TEST_F(FrameFixture, FailedBeginSceneAppliesKeysButMovesNothingAndStillPresents)
{
    game->keyboardInput.setKeyByte(kKeyUp, 0x80);
    game->keyboardInput.setKeyByte(kKeyF3, 0x80);
    device.setBeginSceneResult(false);
    const Vector3 before = game->playerCar.getPosition();

    runFrame(*game, 0.5f);
    runFrame(*game, 0.5f);

    using Op = DeviceOperation;
    EXPECT_EQ(operations(), (std::vector{Op::Clear, Op::BeginScene, Op::Present, Op::Clear, Op::BeginScene, Op::Present}));
    EXPECT_EQ(game->playerCar.getPosition(), before);
    // No physics step ran, so nothing released the throttle between the two frames.
    EXPECT_FLOAT_EQ(game->playerCar.getThrottle(), 0.2f);
    EXPECT_EQ(game->camera.getMode(), 2);
}

TEST(FrameWithoutDevice, OnlyReadsTheKeys)
{
    auto game = std::make_unique<Game>();
    game->keyboardInput.setKeyByte(kKeyRight, 0x80);
    runFrame(*game, 0.02f);
    EXPECT_EQ(game->playerCar.getSteeringAngle(), 10.0f);
    EXPECT_EQ(game->playerCar.getPosition(), Vector3());
}

} // namespace
} // namespace torvane
