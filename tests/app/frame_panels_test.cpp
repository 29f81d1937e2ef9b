// The panels' seam in the frame: hidden or shown, the panels leave the calls
// the frame makes of the graphics device exactly as a game without panels
// makes them, and they draw after the picture is finished, before it is presented.
#include <gtest/gtest.h>

#include <imgui.h>

#include <memory>
#include <tuple>
#include <vector>

#include "app/game.h"
#include "input/key_codes.h"
#include "panels/panel_set.h"
#include "support/headless_imgui.h"
#include "support/held_keys.h"
#include "support/recorded_scene.h"

namespace torvane {
namespace {

// The game's panels on an ImGui context without a window: ImGui's draw lists only.
class HeadlessPanels final : public GamePanels {
public:
    explicit HeadlessPanels(const RecordingDevice& recording) : device(recording) {}

    void draw(Game& game, const FrameActions& actions) override
    {
        panels.toggle(actions.tyrePanelToggled, actions.setupPanelToggled);
        lastCallBefore = device.getLog().back().operation;
        if (!panels.anyShown()) {
            return;
        }
        imgui.quietFrame([&] { panels.draw(game.playerCar); });
        ++shownFrames;
    }

    bool wantsText() const override { return ImGui::GetIO().WantTextInput; }

    HeadlessImGui imgui;
    const RecordingDevice& device;
    PanelSet panels{testing::TempDir(), imgui};
    DeviceOperation lastCallBefore = DeviceOperation::Clear;
    int shownFrames = 0;
};

struct RecordedGame : RecordedScene {
    RecordedGame()
    {
        game->keyboardInput.setKeyByte(kKeyUp, 0x80);
        game->keyboardInput.setKeyByte(kKeyRight, 0x80);
    }

    // What the last frame asked of the device, call by call.
    std::vector<std::tuple<DeviceOperation, std::uint32_t, int, float, TransformState, RenderState>> calls() const
    {
        std::vector<std::tuple<DeviceOperation, std::uint32_t, int, float, TransformState, RenderState>> result;
        for (const DeviceCall& call : device.getLog()) {
            result.emplace_back(call.operation, call.value, call.index, call.depth, call.transform, call.renderState);
        }
        return result;
    }

    void runOneFrame()
    {
        device.clearLog();
        runFrame(*game, 1.0f / 60.0f);
    }
};

TEST(FramePanels, LeaveTheDeviceCallsAloneAndDrawBeforePresent)
{
    RecordedGame plain;
    RecordedGame withPanels;
    HeadlessPanels panels(withPanels.device);
    withPanels.game->panels = &panels;
    for (int frame = 1; frame <= 40; ++frame) {
        // Both panels shown from frame 10, the tyre panel hidden again from frame 30.
        const bool shownKey = frame == 10 || frame == 30;
        withPanels.game->keyboardInput.setKeyByte(kKeyF9, shownKey ? 0x80 : 0);
        withPanels.game->keyboardInput.setKeyByte(kKeyTab, frame == 10 ? 0x80 : 0);
        plain.runOneFrame();
        withPanels.runOneFrame();
        ASSERT_EQ(withPanels.calls(), plain.calls()) << "frame " << frame;
        EXPECT_EQ(panels.lastCallBefore, DeviceOperation::EndScene);
    }
    EXPECT_EQ(panels.shownFrames, 31);
    EXPECT_GT(ImGui::GetDrawData()->TotalVtxCount, 1000) << "the setup panel is still drawn";
    withPanels.game->panels = nullptr;
}

// Panels whose text field has the keyboard while typing is set.
struct TypingPanels final : GamePanels {
    void draw(Game&, const FrameActions&) override {}
    bool wantsText() const override { return typing; }
    bool typing = true;
};

TEST(PanelKeyboard, TheGamesKeysRestWhileAPanelTakesText)
{
    RecordedScene scene;
    Game& game = *scene.game;
    HeldKeys keys;
    keys.hold(kKeyP);
    keys.hold(kKeyUp);
    TypingPanels panels;
    PanelKeyboard keyboard(keys, panels);
    game.keyboardInput.attachDevice(&keyboard);
    for (int frame = 0; frame < 10; ++frame) {
        runFrame(game, 1.0f / 60.0f);
    }
    EXPECT_FALSE(game.play.paused) << "a typed p";
    EXPECT_EQ(game.playerCar.getThrottle(), 0.0f);

    panels.typing = false;
    runFrame(game, 1.0f / 60.0f);
    EXPECT_TRUE(game.play.paused);
    EXPECT_GT(game.playerCar.getThrottle(), 0.0f);
    game.keyboardInput.attachDevice(nullptr);
}

} // namespace
} // namespace torvane
