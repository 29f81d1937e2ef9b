// DesktopKeyboard: the keyboard snapshot from the desktop. On X11 it asks the X
// server for the whole keyboard (XQueryKeymap on the window's display), so keys
// are read whether or not the game's window has the focus; on other video
// drivers it takes SDL's keyboard state, which only sees keys while focused.
// Either way each key lands at its DirectInput code, named by its position on
// a US keyboard.
//
// Shortcomings: the X11 path assumes the server's evdev key codes (X key code =
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
    // Sets the keyboard up for window, showing the set-up step that failed in
    // a message box ("Erreur critique"). nullptr when no keyboard can be read.
    static std::unique_ptr<DesktopKeyboard> create(SDL_Window* window);
    ~DesktopKeyboard() override;

    KeyboardReadResult read(std::uint8_t (&keyState)[kKeyCount]) override;
    bool acquire() override;

private:
    DesktopKeyboard() = default;

    void* x11Display = nullptr; // the window's X display; nullptr: SDL's keyboard state
};

} // namespace torvane
