// PlaySettings: the player's choices that the game reads while playing, with
// their defaults. The command line overrides them where it has an option.
//
// Shortcomings: only the defaults for now: nothing is read from a settings file.
#pragma once

#include <string>

#include "input/pad_input.h"

namespace torvane {

struct PlaySettings {
    bool backgroundKeys = false;   // read the keyboard while another window has the focus (X11)
    bool pauseOnFocusLoss = false; // pause when the window loses the keyboard focus
    PadResponse padResponse;       // the sticks' and triggers' deadzone and curve
    std::string padMappingFile;    // extra SDL pad mappings; empty: none
};

// The settings as the player left them: today, the defaults.
PlaySettings loadPlaySettings();

} // namespace torvane
