// The game's command line: window, data folder, keyboard and presentation
// choices. Parsed with CLI11; see parseGameOptions for what it prints.
//
// Shortcomings: --window-size takes the outer size; the picture's shape stays
// that of the window at start-up.
#pragma once

#include <optional>
#include <string>

namespace torvane {

struct GameOptions {
    bool fullscreen = false;
    int windowWidth = 800;  // outer pixels
    int windowHeight = 600;
    std::string dataDir;    // empty: the working directory
    bool backgroundKeys = false;
    bool vsync = true;
};

// The options of argv, or the exit status the program ends with: 0 after
// --help or --version (printed on stdout), 2 after a bad option (a message
// naming it on stderr).
struct ParsedGameOptions {
    GameOptions options;
    std::optional<int> exitStatus;
};

ParsedGameOptions parseGameOptions(int argc, const char* const* argv);

} // namespace torvane
