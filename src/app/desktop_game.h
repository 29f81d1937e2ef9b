// DesktopGame: the game's start-up on the desktop, in its fixed order: the
// window, the graphics device with the depth test on, the scene, the light,
// the overlay font, then the keyboard. A failed step is shown in a message box
// ("Erreur critique") and the start-up goes on; frames then skip what they
// cannot do. Without a window or an OpenGL 3.3 context nothing is set up: the
// caller says so (startProblem) and stops. Used by the game's entry point and
// by the replay tool.
#pragma once

#include <memory>
#include <string>

#include "app/game.h"
#include "platform/desktop_keyboard.h"
#include "platform/desktop_window.h"
#include "render/gl/gl_device.h"

namespace torvane {

struct DesktopGame {
    std::unique_ptr<DesktopWindow> window;
    std::unique_ptr<GlDevice> device;
    std::unique_ptr<DesktopKeyboard> keyboard;

    // Releases the keyboard, the device and the window, in that order.
    ~DesktopGame();
};

// The window's outer size in pixels, and whether presenting waits for the retrace.
struct WindowShape {
    int width = 800;
    int height = 600;
    bool vsync = true;
};

// Opens the window "Torvane" and sets the game up in it. The files are read
// relative to the working directory. With readKeyboard false no keyboard is
// attached (the caller fills the key snapshot itself).
std::unique_ptr<DesktopGame> startDesktopGame(Game& game, bool readKeyboard, const WindowShape& shape = {});

// The player's message when the start-up found no window or no OpenGL 3.3 context; empty otherwise.
std::string startProblem(const DesktopGame& desktop);

} // namespace torvane
