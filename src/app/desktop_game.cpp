#include "app/desktop_game.h"

#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {

DesktopGame::~DesktopGame()
{
    keyboard.reset();
    device.reset();
    window.reset();
}

std::unique_ptr<DesktopGame> startDesktopGame(Game& game, bool readKeyboard)
{
    auto desktop = std::make_unique<DesktopGame>();
    desktop->window = DesktopWindow::open("Torvane", 800, 600);
    if (desktop->window != nullptr && desktop->window->hasGlContext()) {
        desktop->device =
            GlDevice::create(desktop->window->handle(), desktop->window->clientWidth(), desktop->window->clientHeight());
    }

    GlDevice* device = desktop->device.get();
    game.device = device;
    if (device == nullptr || !setupDevice(game, *device)) {
        showBox(kCriticalCaption, kGraphicsSetupFailed);
    }

    if (readKeyboard) {
        desktop->keyboard = DesktopKeyboard::create(desktop->window ? desktop->window->handle() : nullptr);
        game.keyboardInput.attachDevice(desktop->keyboard.get());
    }
    return desktop;
}

} // namespace torvane
