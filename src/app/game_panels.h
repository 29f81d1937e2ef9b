// GamePanels: what a frame draws over the finished picture before presenting
// it: on the desktop the ImGui panels (app/desktop_panels.h). A game without
// one draws nothing more.
//
// Shortcoming: the panels draw only when the scene began; a frame that could
// not draw (a minimised window) does not see their keys either.
#pragma once

#include "input/driving_actions.h"

namespace torvane {

struct Game;

class GamePanels {
public:
    virtual ~GamePanels() = default;
    // Shows or hides the panels actions asked for, then draws those shown.
    virtual void draw(Game& game, const FrameActions& actions) = 0;
};

} // namespace torvane
