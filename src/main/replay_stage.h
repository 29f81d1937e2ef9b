// Where a replay draws: the game's desktop start-up (a window, or SDL's
// offscreen driver) with its OpenGL device, or the headless device that draws
// nothing and keeps no log between frames.
#pragma once

#include <memory>

#include "app/desktop_game.h"
#include "app/game.h"
#include "render/headless_device.h"

namespace torvane {

struct Stage {
    std::unique_ptr<DesktopGame> desktop;
    std::unique_ptr<HeadlessDevice> headless;
    bool sdlStarted = false;

    ~Stage()
    {
        desktop.reset();
        if (sdlStarted) {
            stopDesktop();
        }
    }
};

// The same start-up as the game's, on the headless device.
void startHeadless(Game& game, Stage& stage);

// The game's real start-up; false (after saying why) when no OpenGL device came up.
bool startDesktopStage(Game& game, Stage& stage, bool window);

} // namespace torvane
