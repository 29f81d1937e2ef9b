// Torvane's entry point: opens the window, sets up the graphics device, the
// scene, the light and the keyboard, then runs frames whenever the event queue
// is empty until a quit request arrives. Takes no arguments and writes nothing.
#include <memory>

#include "app/frame_timer.h"
#include "app/game.h"
#include "platform/desktop/desktop_window.h"
#include "platform/desktop/gl_device.h"
#include "platform/graphics_device.h"
#include "platform/os_services.h"

namespace {

// The game's objects live for the whole run, like the window.
torvane::Game game;

} // namespace

int main(int, char**)
{
    using namespace torvane;
    if (!startDesktop()) {
        return 1;
    }

    std::unique_ptr<DesktopWindow> window = DesktopWindow::open("Torvane", 800, 600);
    std::unique_ptr<GlDevice> device;
    if (window != nullptr && window->hasGlContext()) {
        device = GlDevice::create(window->handle(), window->clientWidth(), window->clientHeight());
    }
    if (device != nullptr) {
        game.device = device.get();
        device->setRenderState(RenderState::ZEnable, 1);
        setupScene(game);
        setupLighting(*device);
    }
    if (device == nullptr || !device->createFont(20)) {
        showMessageBox("Erreur critique", "Impossible d'initialiser Direct3D");
    }

    FrameTimer timer(desktopClock());
    bool quit = false;
    while (!quit) {
        if (!pollDesktopEvent(quit)) {
            runFrame(game, timer.nextFrameTime());
        }
    }

    game.device = nullptr;
    device.reset();
    window.reset();
    stopDesktop();
    return 0;
}
