// DesktopGame: the game's start-up on the desktop, in its fixed order: the
// window, the graphics device with the depth test on, the scene, the light,
// the overlay font, then the keyboard. A failed step is shown in a message box
// ("Erreur critique") and the start-up goes on; frames then skip what they
// cannot do. Used by the game's entry point and by the replay tool.
#pragma once

#include <memory>

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

// Opens the window "Torvane" (800 × 600 outside) and sets the game up in it.
// The files are read relative to the working directory. With readKeyboard
// false no keyboard is attached (the caller fills the key snapshot itself).
std::unique_ptr<DesktopGame> startDesktopGame(Game& game, bool readKeyboard);

} // namespace torvane
