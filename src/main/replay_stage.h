// Where a replay draws: the game's desktop start-up (a window, or SDL's
// offscreen driver) with its OpenGL device, or the headless device that draws
// nothing and keeps no log between frames. A run that asks only for the car's
// states (no telemetry, no sound, no finiteness check) plays its frames on the silent
// device after the headless start-up: no camera, no texts, no device calls.
#pragma once

#include <memory>

#include "app/desktop_game.h"
#include "app/game.h"
#include "render/headless_device.h"
#include "render/silent_device.h"
#include "replay/replay_options.h"

namespace torvane {

struct Stage {
    std::unique_ptr<DesktopGame> desktop;
    std::unique_ptr<HeadlessDevice> headless;
    std::unique_ptr<SilentDevice> silent; // the frames' device when they are not looked at
    bool sdlStarted = false;

    ~Stage()
    {
        desktop.reset();
        if (sdlStarted) {
            stopDesktop();
        }
    }
};

// Whether a --no-render run asks nothing of its frames but the car's states.
bool onlyStatesAsked(const ReplayOptions& options);

// The same start-up as the game's, on the headless device; the frames then run
// on the silent device when onlyStatesAsked(options).
void startHeadless(Game& game, Stage& stage, const ReplayOptions& options);

// The game's real start-up; false (after saying why) when no OpenGL device came up.
bool startDesktopStage(Game& game, Stage& stage, bool window);

} // namespace torvane
