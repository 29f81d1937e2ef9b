// The game's command line (torvane --help lists it): where the data is, and
// a frame count for unattended runs. Options that change how the game plays
// are declared in declareGameOptions, beside these.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace torvane {

struct GameOptions {
    std::string dataDir;       // empty: searched (core/data_folder.h)
    std::optional<int> frames; // unset: until the player quits
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

// The --help text.
std::string gameUsage();

} // namespace torvane
