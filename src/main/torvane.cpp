// Torvane's entry point: sets the game up in its window, then runs a frame
// whenever the event queue is empty until a quit request (the window closed,
// or Escape) arrives. Takes no arguments and writes nothing.
#include "app/desktop_game.h"
#include "core/frame_timer.h"
#include "core/message_sink.h"

namespace {

// The game's objects live for the whole run.
torvane::Game game;

} // namespace

int main(int, char**)
{
    using namespace torvane;
    installMessageSink(&desktopMessageSink());
    if (!startDesktop()) {
        return 1;
    }
    std::unique_ptr<DesktopGame> desktop = startDesktopGame(game, true);

    FrameTimer timer(desktopClock());
    bool quit = false;
    while (!quit) {
        if (!pollDesktopEvent(quit)) {
            quit = runFrame(game, simulatedFrameTime(timer.nextFrameTime())).quitRequested;
        }
    }

    game.keyboardInput.attachDevice(nullptr);
    game.device = nullptr;
    desktop.reset();
    stopDesktop();
    return 0;
}
