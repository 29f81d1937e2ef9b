#include "app/game_options.h"

#include <CLI/CLI.hpp>

#include <limits>

#include "core/command_line.h"

namespace torvane {
namespace {

void declareGameOptions(CLI::App& app, GameOptions& options)
{
    app.description("Torvane: drive a car through a walled city. Keys: Up/Down accelerator, Left/Right\n"
                    "steering, F1..F8 and V the cameras, Escape quits.\n");
    app.set_help_flag();
    app.add_option("--data", options.dataDir, kDataOptionHelp)
        ->option_text("DIR");
    app.add_option("--frames", options.frames, "quit by itself after N frames (unattended runs, tests)")
        ->option_text("N")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    // Options that change how the game plays go here.
    app.add_flag("--version", options.version, "the version, and nothing else");
    app.add_flag("--help", options.help, "this text");
    app.footer("Exit status: 0 the player quit; 2 a bad option, no data folder, no display or no OpenGL 3.3.\n"
               "Settings: $XDG_CONFIG_HOME/torvane/settings.toml (~/.config/torvane/settings.toml).");
}

} // namespace

ParsedGameOptions parseGameOptions(std::span<const std::string_view> args)
{
    ParsedGameOptions result;
    CLI::App app("", "torvane");
    declareGameOptions(app, result.options);
    result.error = parseCommandLine(app, args);
    if (result.error.empty()) {
        result.error = emptyValueMistake(app, {"--data"});
    }
    return result;
}

std::string gameUsage()
{
    CLI::App app("", "torvane");
    GameOptions options;
    declareGameOptions(app, options);
    return app.help();
}

} // namespace torvane
