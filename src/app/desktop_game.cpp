#include "app/desktop_game.h"

#include <cstdio>

#include "app/screenshot.h"
#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {
namespace {

// Writes the presented picture into the pictures folder and says where, on the screen and on stdout.
void takeScreenshot(const GlDevice& device, PlayState& play, std::uint64_t frame)
{
    const std::optional<std::filesystem::path> folder = picturesFolder();
    const std::filesystem::path path = folder.value_or(".") / screenshotName(frame);
    const Image picture{device.backBufferWidth(), device.backBufferHeight(), device.readBackBuffer()};
    if (!folder || !saveScreenshot(picture, path)) {
        diagnose(path.string() + ": screenshot could not be written");
        play.showNotice(screenshotFailedMessage(path.string()), kScreenshotNoticeSeconds);
        return;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    play.showNotice(screenshotSavedMessage(path.string()), kScreenshotNoticeSeconds);
}

} // namespace

DesktopGame::~DesktopGame()
{
    pads.reset();
    keyboard.reset();
    device.reset();
    window.reset();
}

std::unique_ptr<DesktopGame> startDesktopGame(Game& game, const DesktopStart& start)
{
    auto desktop = std::make_unique<DesktopGame>();
    desktop->window = DesktopWindow::open("Torvane", start.windowWidth, start.windowHeight);
    if (desktop->window != nullptr && desktop->window->hasGlContext()) {
        desktop->window->setVsync(start.vsync);
        desktop->device =
            GlDevice::create(desktop->window->handle(), desktop->window->clientWidth(), desktop->window->clientHeight());
        if (start.fullscreen) {
            desktop->window->setFullscreen(true);
        }
    }

    GlDevice* device = desktop->device.get();
    game.device = device;
    if (device == nullptr || !setupDevice(game, *device)) {
        showBox(kCriticalCaption, kGraphicsSetupFailed);
    }

    if (start.readInput) {
        desktop->keyboard = DesktopKeyboard::create(desktop->window ? desktop->window->handle() : nullptr,
                                                    start.settings.backgroundKeys);
        game.keyboardInput.attachDevice(desktop->keyboard.get());
        desktop->pads = DesktopGamepads::create(start.settings.padMappingFile);
        game.padInput.attachDevice(desktop->pads.get());
        game.padInput.setResponse(start.settings.padResponse);
    }
    return desktop;
}

void actOnDesktop(DesktopGame& desktop, Game& game, const FrameActions& actions, std::uint64_t frame)
{
    if (actions.fullscreenToggled && desktop.window != nullptr) {
        desktop.window->setFullscreen(!desktop.window->isFullscreen());
    }
    if (actions.screenshotRequested && desktop.device != nullptr) {
        takeScreenshot(*desktop.device, game.play, frame);
    }
}

} // namespace torvane
