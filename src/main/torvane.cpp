// Torvane's entry point: sets the game up in its window, then runs a frame
// whenever the event queue is empty until a quit request (the window closed,
// or Escape) arrives. Takes no arguments and writes nothing.
#include <new>

#include "app/desktop_game.h"
#include "core/frame_timer.h"
#include "core/message_sink.h"
#include "core/player_messages.h"

namespace {

// The game's objects live for the whole run.
torvane::Game game;

// The game from start-up to quit; the exit status.
int runGame()
{
    using namespace torvane;
    if (!startDesktop()) {
        return 1;
    }
    std::unique_ptr<DesktopGame> desktop = startDesktopGame(game, true);

    FrameTimer timer(desktopClock());
    bool quit = false;
    while (!quit) {
        if (!pollDesktopEvent(quit)) {
            quit = runFrame(game, timer.nextFrameTime()).quitRequested;
        }
    }

    game.keyboardInput.attachDevice(nullptr);
    game.device = nullptr;
    desktop.reset();
    stopDesktop();
    return 0;
}

} // namespace

int main(int, char**)
{
    using namespace torvane;
    installMessageSink(&desktopMessageSink());
    try {
        return runGame();
    } catch (const std::bad_alloc&) {
        showBox(kCriticalCaption, kOutOfMemory); // the readers refuse what does not fit; this is the rest
        return 1;
    }
}
