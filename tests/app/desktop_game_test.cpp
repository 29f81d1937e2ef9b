// The game's real start-up and frames on SDL's offscreen driver, in the game's
// data folder: every file loads without a box, and the picture shows the city, the car and
// the overlay rather than the clear colour.
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include <gtest/gtest.h>
#include <imgui.h>

#include "app/desktop_game.h"
#include "input/key_codes.h"
#include "core/message_sink.h"
#include "support/allocation_counter.h"
#include "support/game_data_folder.h"

namespace torvane {
namespace {

using InDataFolder = InGameDataFolder;

TEST_F(InDataFolder, RealStartUpDrawsTheSceneAndTheOverlay)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (!startDesktop()) {
        GTEST_SKIP() << "SDL's offscreen driver is not available";
    }
    ScopedMessageCapture messages;
    auto game = std::make_unique<Game>();
    std::unique_ptr<DesktopGame> desktop = startDesktopGame(*game, false);
    if (desktop->device == nullptr) {
        stopDesktop();
        GTEST_SKIP() << "no OpenGL context on SDL's offscreen driver";
    }
    EXPECT_EQ(messages.boxes(), std::vector<std::string>{});
    EXPECT_EQ(desktop->device->backBufferWidth(), 800);

    game->keyboardInput.setKeyByte(kKeyUp, 0x80);
    for (int frame = 0; frame < 30; ++frame) {
        runFrame(*game, 1.0f / 60.0f);
    }
    EXPECT_LT(game->playerCar.getPosition().z, 2.0f) << "the car drives forwards, towards -z";

    const std::vector<std::uint8_t> rgba = desktop->device->readBackBuffer();
    const int width = desktop->device->backBufferWidth();
    std::set<std::uint32_t> colours;
    int clearColour = 0;
    int whiteInCorner = 0;
    for (int y = 0; y < desktop->device->backBufferHeight(); ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &rgba[static_cast<std::size_t>((y * width + x) * 4)];
            colours.insert(static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]));
            clearColour += (p[0] == 200 && p[1] == 200 && p[2] == 200) ? 1 : 0;
            whiteInCorner += (x < 200 && y < 40 && p[0] == 255 && p[1] == 255 && p[2] == 255) ? 1 : 0;
        }
    }
    EXPECT_GT(colours.size(), 100u) << "more than the clear colour";
    EXPECT_LT(clearColour, width) << "the sky and the ground cover the clear colour";
    EXPECT_GT(whiteInCorner, 50) << "the overlay's first row";

    // Steady frames, steering through every camera mode, allocate nothing.
    game->keyboardInput.setKeyByte(kKeyRight, 0x80);
    game->keyboardInput.setKeyByte(kKeyV, 0x80);
    const std::size_t before = allocationCount();
    for (int frame = 0; frame < 1000; ++frame) {
        runFrame(*game, 1.0f / 60.0f);
    }
    EXPECT_EQ(allocationCount() - before, 0u);

    // So do they with both panels drawn through ImGui's OpenGL backend.
    ASSERT_NE(desktop->panels, nullptr);
    game->keyboardInput.setKeyByte(kKeyF9, 0x80);
    game->keyboardInput.setKeyByte(kKeyTab, 0x80);
    runFrame(*game, 1.0f / 60.0f);
    game->keyboardInput.setKeyByte(kKeyF9, 0);
    game->keyboardInput.setKeyByte(kKeyTab, 0);
    for (int frame = 0; frame < 10; ++frame) {
        runFrame(*game, 1.0f / 60.0f);
    }
    const std::size_t beforePanels = allocationCount();
    for (int frame = 0; frame < 100; ++frame) {
        runFrame(*game, 1.0f / 60.0f);
    }
    EXPECT_EQ(allocationCount() - beforePanels, 0u);

    // The tyre panel's charts reach the picture, in the bottom right corner,
    // as one draw from the charts' shared texture.
    desktop->device->keepNextPresented();
    runFrame(*game, 1.0f / 60.0f);
    const std::vector<std::uint8_t> withPanels = desktop->device->takePresentedPicture();
    int chartBackground = 0;
    for (int y = 300; y < desktop->device->backBufferHeight(); ++y) {
        for (int x = 480; x < width; ++x) {
            const std::uint8_t* p = &withPanels[static_cast<std::size_t>((y * width + x) * 4)];
            chartBackground += (p[0] == 20 && p[1] == 20 && p[2] == 24) ? 1 : 0;
        }
    }
    EXPECT_GT(chartBackground, 20000) << "the charts' dark ground";
    int chartDraws = 0;
    const ImDrawData* drawn = ImGui::GetDrawData();
    for (int list = 0; list < drawn->CmdListsCount; ++list) {
        for (const ImDrawCmd& command : drawn->CmdLists[list]->CmdBuffer) {
            chartDraws += command.TextureId != ImGui::GetIO().Fonts->TexID && command.ElemCount > 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(chartDraws, 1);

    game->device = nullptr;
    desktop.reset();
    stopDesktop();
}

} // namespace
} // namespace torvane
