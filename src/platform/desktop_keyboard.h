// DesktopKeyboard: the keyboard snapshot from the desktop. By default it takes
// SDL's keyboard state, which holds keys only while the game's window has the
// keyboard focus: keys typed into another program never reach the game. As an
// explicit choice (background keys) it asks the X server for the whole keyboard
// (XQueryKeymap on the window's display), so keys are read whether or not the
// window has the focus, Escape included. Either way each key lands at its
// DirectInput code, named by its position on a US keyboard.
//
// Shortcomings: background keys work on X11 only (elsewhere the focused read
// is used); the X11 path assumes the server's evdev key codes (X key code =
// Linux input code + 8), as Xorg and Xvfb use; keys without a DirectInput code
// are not reported.
#pragma once

#include <cstdint>
#include <memory>

#include "input/keyboard_device.h"

struct SDL_Window;

namespace torvane {

// The DirectInput code of a Linux input (evdev) key code; 0 when it has none.
std::uint8_t directInputCodeOfEvdev(unsigned evdevCode);
// The DirectInput code of an SDL scancode; 0 when it has none.
std::uint8_t directInputCodeOfSdlScancode(int scancode);

class DesktopKeyboard final : public KeyboardDevice {
public:
    // Sets the keyboard up for window, read only while it has the focus unless
    // backgroundKeys, showing the set-up step that failed in a message box
    // ("Erreur critique"). nullptr when no keyboard can be read.
    static std::unique_ptr<DesktopKeyboard> create(SDL_Window* window, bool backgroundKeys);
    ~DesktopKeyboard() override;

    KeyboardReadResult read(std::uint8_t (&keyState)[kKeyCount]) override;
    bool acquire() override;

private:
    DesktopKeyboard() = default;

    SDL_Window* window = nullptr;
    void* x11Display = nullptr; // the window's X display for background keys; nullptr: SDL's keyboard state
};

} // namespace torvane
