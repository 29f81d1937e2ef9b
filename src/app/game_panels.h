// GamePanels: what a frame draws over the finished picture before presenting
// it: on the desktop the ImGui panels (app/desktop_panels.h). A game without
// one draws nothing more. PanelKeyboard keeps the game's keys at rest while
// the player types into a panel.
//
// Shortcomings: the panels draw only when the scene began; a frame that could
// not draw (a minimised window) does not see their keys either. The game's
// keys rest from the frame after a text field takes the keyboard.
#pragma once

#include "input/driving_actions.h"
#include "input/keyboard_device.h"

namespace torvane {

struct Game;

class GamePanels {
public:
    virtual ~GamePanels() = default;
    // Shows or hides the panels actions asked for, then draws those shown.
    virtual void draw(Game& game, const FrameActions& actions) = 0;
    // True while a panel's text field has the keyboard: the game's keys should rest.
    virtual bool wantsText() const = 0;
};

// The keyboard as the game reads it beside panels: every key up while a
// panel's text field has the keyboard, so typing a car's name drives nothing.
class PanelKeyboard final : public KeyboardDevice {
public:
    PanelKeyboard(KeyboardDevice& desktopKeys, const GamePanels& shownPanels) : keys(desktopKeys), panels(shownPanels)
    {
    }
    KeyboardReadResult read(std::uint8_t (&keyState)[kKeyCount]) override;
    bool acquire() override { return keys.acquire(); }

private:
    KeyboardDevice& keys;
    const GamePanels& panels;
};

} // namespace torvane
