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

std::unique_ptr<DesktopGame> startDesktopGame(Game& game, bool readKeyboard, const WindowShape& shape)
{
    auto desktop = std::make_unique<DesktopGame>();
    desktop->window = DesktopWindow::open("Torvane", shape.width, shape.height, shape.vsync);
    if (!startProblem(*desktop).empty()) {
        return desktop;
    }
    desktop->device =
        GlDevice::create(desktop->window->handle(), desktop->window->clientWidth(), desktop->window->clientHeight());

    GlDevice* device = desktop->device.get();
    game.device = device;
    if (device == nullptr || !setupDevice(game, *device)) {
        showBox(kCriticalCaption, kGraphicsSetupFailed);
    }

    if (readKeyboard) {
        desktop->keyboard = DesktopKeyboard::create(desktop->window->handle());
        game.keyboardInput.attachDevice(desktop->keyboard.get());
    }
    return desktop;
}

std::string startProblem(const DesktopGame& desktop)
{
    if (desktop.window == nullptr) {
        return noOpenGl33Message("none");
    }
    return desktop.window->hasGlContext() ? std::string() : noOpenGl33Message(desktop.window->offeredGlVersion());
}

} // namespace torvane
