// The game's command line (torvane --help lists it): where the data is, a
// frame count for unattended runs, and the window and keyboard choices, which
// win over the same settings of the settings file.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace torvane {

struct GameOptions {
    std::string dataDir;       // empty: searched (core/data_folder.h)
    std::optional<int> frames; // unset: until the player quits
    bool fullscreen = false;
    std::optional<int> windowWidth;  // outer pixels; unset: the settings' size
    std::optional<int> windowHeight;
    bool backgroundKeys = false;
    bool noVsync = false;
    bool mute = false;         // start with the sound muted (M switches)
    std::string recordFile;    // empty: the drive is recorded in the recordings folder
    std::string replayFile;    // a recording to watch first; empty: none
    std::string ghostFile;     // a recording to race as the ghost; empty: none
    bool help = false;
    bool version = false;
};

// Options, or the first thing wrong with the command line (error then set).
struct ParsedGameOptions {
    GameOptions options;
    std::string error;
};

// args are the words after the program name.
ParsedGameOptions parseGameOptions(std::span<const std::string_view> args);

// settings with the options that override them applied.
Settings withOptions(Settings settings, const GameOptions& options);

// The --help text.
std::string gameUsage();

} // namespace torvane
