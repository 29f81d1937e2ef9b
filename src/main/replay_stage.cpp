#include "main/replay_stage.h"

#include <cstdlib>
#include <string>

#include "core/message_sink.h"
#include "platform/desktop_window.h"

namespace torvane {

bool onlyStatesAsked(const ReplayOptions& options)
{
    return options.noRender && options.csvFile.empty() && options.wavFile.empty() && !options.checkFinite;
}

void startHeadless(Game& game, Stage& stage, const ReplayOptions& options)
{
    stage.headless = std::make_unique<HeadlessDevice>();
    HeadlessDevice& device = *stage.headless;
    setupDevice(game, device);
    device.clearLog();
    if (onlyStatesAsked(options)) {
        stage.silent = std::make_unique<SilentDevice>();
        game.device = stage.silent.get();
    }
}

bool startDesktopStage(Game& game, Stage& stage, bool window)
{
    if (!window) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    stage.sdlStarted = startDesktop();
    if (!stage.sdlStarted) {
        return false;
    }
    stage.desktop = startDesktopGame(game, false);
    if (stage.desktop->device == nullptr) {
        const DesktopWindow* opened = stage.desktop->window.get();
        diagnose(std::string("no OpenGL 3.3 device on SDL's ") + (window ? "default" : "offscreen") + " driver" +
                 (opened != nullptr && !opened->hasGlContext() ? " (offered: " + opened->offeredGlVersion() + ")" : ""));
        return false;
    }
    return true;
}

} // namespace torvane
