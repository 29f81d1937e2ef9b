// DesktopGame: the game's start-up on the desktop, in its fixed order: the
// window, the graphics device with the depth test on, the scene, the light,
// the overlay font, then the keyboard and the pads. A failed step is shown in a message box
// ("Erreur critique") and the start-up goes on; frames then skip what they
// cannot do. Without a window or an OpenGL 3.3 context nothing is set up: the
// caller says so (startProblem) and stops. Used by the game's entry point and
// by the replay tool. Also the desktop's part of the game's commands:
// fullscreen and screenshots.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/desktop_panels.h"
#include "app/game.h"
#include "core/settings.h"
#include "platform/desktop_gamepads.h"
#include "platform/desktop_keyboard.h"
#include "platform/desktop_window.h"
#include "render/gl/gl_device.h"

namespace torvane {

struct DesktopGame {
    std::unique_ptr<DesktopWindow> window;
    std::unique_ptr<GlDevice> device;
    std::unique_ptr<DesktopKeyboard> keyboard;
    std::unique_ptr<DesktopGamepads> pads;
    std::unique_ptr<DesktopPanels> panels;          // nullptr when ImGui could not start
    std::unique_ptr<PanelKeyboard> panelKeyboard;   // the keyboard as the game reads it
    std::uint64_t screenshotFrame = 0; // the frame whose picture is written as a screenshot; 0: none

    // Releases the pads, the keyboard, the panels, the device and the window, in that order.
    ~DesktopGame();
};

// The window's outer size in pixels, whether presenting waits for the retrace,
// and whether the window starts fullscreen.
struct WindowShape {
    int width = 800;
    int height = 600;
    bool vsync = true;
    bool fullscreen = false;
};

// Opens the window "Torvane" and sets the game up in it. The files are read
// relative to the working directory. With readInput false no keyboard or pad
// is attached (the caller fills the key snapshot itself); otherwise settings
// choose background keys and the pads' deadzone and curve.
std::unique_ptr<DesktopGame> startDesktopGame(Game& game, bool readInput, const WindowShape& shape = {},
                                              const Settings& settings = {});

// How long a screenshot's path stays on the screen, in seconds.
inline constexpr float kScreenshotNoticeSeconds = 2.0f;

// Does the desktop's part of what frame asked: switches fullscreen; for a
// screenshot, keeps the next frame's picture and writes it after that frame
// (its path shown and printed on stdout).
void actOnDesktop(DesktopGame& desktop, Game& game, const FrameActions& actions, std::uint64_t frame);

// The player's message when the start-up found no window or no OpenGL 3.3 context; empty otherwise.
std::string startProblem(const DesktopGame& desktop);

} // namespace torvane
