#include "app/desktop_game.h"

#include <cstdio>

#include "app/screenshot.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "platform/user_folders.h"

namespace torvane {
namespace {

// Writes picture (frame's) into the pictures folder and says where, on the screen and on stdout.
void saveInPictures(const Image& picture, PlayState& play, std::uint64_t frame)
{
    const std::string folder = picturesFolder();
    const std::filesystem::path path = std::filesystem::path(folder.empty() ? "." : folder) / screenshotName(frame);
    if (folder.empty() || !saveScreenshot(picture, path)) {
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
    panelKeyboard.reset();
    keyboard.reset();
    panels.reset();
    device.reset();
    window.reset();
}

std::unique_ptr<DesktopGame> startDesktopGame(Game& game, bool readInput, const WindowShape& shape,
                                              const Settings& settings)
{
    auto desktop = std::make_unique<DesktopGame>();
    auto meshReader = std::make_unique<MeshReaderProcess>(
        MeshReaderLimits{std::uint64_t(settings.meshReaderMegabytes) << 20, std::chrono::seconds(settings.meshReaderSeconds)});
    const std::string cacheFolder = userCacheFolder();
    meshReader->keepMeshesIn(cacheFolder);
    desktop->window = DesktopWindow::open("Torvane", shape.width, shape.height, shape.vsync);
    if (!startProblem(*desktop).empty()) {
        return desktop;
    }
    desktop->device = GlDevice::create(desktop->window->handle(), desktop->window->clientWidth(),
                                       desktop->window->clientHeight(), std::move(meshReader), cacheFolder);
    // After the device: the picture keeps the window's shape, letterboxed on the screen.
    if (shape.fullscreen) {
        desktop->window->setFullscreen(true);
    }

    GlDevice* device = desktop->device.get();
    game.device = device;
    if (device == nullptr || !setupDevice(game, *device)) {
        showBox(kCriticalCaption, kGraphicsSetupFailed);
    }
    if (device != nullptr) {
        desktop->panels = DesktopPanels::create(game, desktop->window->handle(), device->backBufferWidth(),
                                                device->backBufferHeight());
    }

    if (readInput) {
        desktop->keyboard = DesktopKeyboard::create(desktop->window->handle(), settings.backgroundKeys);
        if (desktop->keyboard != nullptr && desktop->panels != nullptr) {
            desktop->panelKeyboard = std::make_unique<PanelKeyboard>(*desktop->keyboard, *desktop->panels);
            game.keyboardInput.attachDevice(desktop->panelKeyboard.get());
        } else {
            game.keyboardInput.attachDevice(desktop->keyboard.get());
        }
        desktop->pads = DesktopGamepads::create();
        game.padInput.attachDevice(desktop->pads.get());
        game.padInput.setResponse(
            {static_cast<float>(settings.padDeadzone), static_cast<float>(settings.padCurve)});
    }
    return desktop;
}

void actOnDesktop(DesktopGame& desktop, Game& game, const FrameActions& actions, std::uint64_t frame)
{
    if (actions.fullscreenToggled && desktop.window != nullptr) {
        desktop.window->setFullscreen(!desktop.window->isFullscreen());
    }
    if (desktop.device == nullptr) {
        return;
    }
    // The picture is copied as the next frame presents it, then written.
    if (desktop.screenshotFrame != 0 && desktop.screenshotFrame == frame) {
        GlDevice& device = *desktop.device;
        saveInPictures({device.backBufferWidth(), device.backBufferHeight(), device.takePresentedPicture()}, game.play,
                       frame);
        desktop.screenshotFrame = 0;
    }
    if (actions.screenshotRequested) {
        desktop.device->keepNextPresented();
        desktop.screenshotFrame = frame + 1;
    }
}

std::string startProblem(const DesktopGame& desktop)
{
    if (desktop.window == nullptr) {
        return noOpenGl33Message("none");
    }
    return desktop.window->hasGlContext() ? std::string() : noOpenGl33Message(desktop.window->offeredGlVersion());
}

} // namespace torvane
