// DesktopGamepads: every game pad SDL knows as a game controller, merged into
// one PadSnapshot a frame. Pads plugged in or out while the game runs are
// opened or closed at the next read. SDL names the buttons through its mapping
// database: its built-in one, and the mappings of the SDL_GAMECONTROLLERCONFIG
// environment variable (or the file SDL_GAMECONTROLLERCONFIG_FILE names),
// which SDL reads itself.
//
// Shortcomings: at most kMaxPads pads at once (more are ignored); joysticks
// without a mapping are ignored.
#pragma once

#include <SDL_gamecontroller.h>

#include <array>
#include <memory>

#include "input/pad_device.h"

namespace torvane {

class DesktopGamepads final : public PadDevice {
public:
    static constexpr int kMaxPads = 8;

    // Starts SDL's game controller subsystem and opens the pads plugged in.
    // nullptr (after saying why on stderr) when the subsystem cannot start.
    static std::unique_ptr<DesktopGamepads> create();
    ~DesktopGamepads() override;

    PadSnapshot read() override;
    int connectedCount() const;

    DesktopGamepads(const DesktopGamepads&) = delete;
    DesktopGamepads& operator=(const DesktopGamepads&) = delete;

private:
    DesktopGamepads() = default;
    // Closes the pads that went away and opens the ones that came.
    void refresh();

    std::array<SDL_GameController*, kMaxPads> pads{};
    int knownJoystickCount = -1; // SDL's joystick count at the last refresh
};

} // namespace torvane
