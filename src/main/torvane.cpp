// Torvane's entry point: reads the command line, sets the game up in its
// window, then runs a frame whenever the event queue is empty until a quit
// request (the window closed, Escape, or a pad's Start held) arrives. Writes
// nothing but the screenshots the player asks for. Exit status: 0, or 2 for a
// bad option or data folder, 1 when the desktop cannot start.
#include <unistd.h>

#include "app/desktop_game.h"
#include "app/game_options.h"
#include "core/frame_timer.h"
#include "core/message_sink.h"

namespace {

// The game's objects live for the whole run.
torvane::Game game;

} // namespace

int main(int argc, char** argv)
{
    using namespace torvane;
    const ParsedGameOptions parsed = parseGameOptions(argc, argv);
    if (parsed.exitStatus) {
        return *parsed.exitStatus;
    }
    const GameOptions& options = parsed.options;
    if (!options.dataDir.empty() && chdir(options.dataDir.c_str()) != 0) {
        diagnose(options.dataDir + ": cannot enter the data folder");
        return 2;
    }
    installMessageSink(&desktopMessageSink());
    if (!startDesktop()) {
        return 1;
    }
    DesktopStart start;
    start.windowWidth = options.windowWidth;
    start.windowHeight = options.windowHeight;
    start.fullscreen = options.fullscreen;
    start.vsync = options.vsync;
    start.settings = loadPlaySettings();
    start.settings.backgroundKeys = start.settings.backgroundKeys || options.backgroundKeys;
    std::unique_ptr<DesktopGame> desktop = startDesktopGame(game, start);

    FrameTimer timer(desktopClock());
    std::uint64_t frame = 0;
    bool quit = false;
    while (!quit) {
        DesktopEvent event;
        if (pollDesktopEvent(event)) {
            quit = event.quit;
            if (event.focusLost && start.settings.pauseOnFocusLoss) {
                game.play.paused = true;
            }
            continue;
        }
        const float measured = timer.nextFrameTime();
        game.play.countFrame(measured);
        const FrameActions actions = runFrame(game, simulatedFrameTime(measured));
        actOnDesktop(*desktop, game, actions, ++frame);
        quit = actions.quitRequested;
    }

    game.keyboardInput.attachDevice(nullptr);
    game.padInput.attachDevice(nullptr);
    game.device = nullptr;
    desktop.reset();
    stopDesktop();
    return 0;
}
