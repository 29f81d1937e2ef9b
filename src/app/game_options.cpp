#include "app/game_options.h"

#include <CLI/CLI.hpp>

#include <limits>
#include <regex>

#include "core/command_line.h"

namespace torvane {
namespace {

constexpr int kSmallestWindow = 320; // pixels, as the settings' bounds
constexpr int kLargestWindow = 16384;

// "WxH" into width and height; what is wrong with it otherwise.
std::string readWindowSize(const std::string& text, GameOptions& options)
{
    static const std::regex form(R"(([0-9]{1,5})x([0-9]{1,5}))");
    std::smatch match;
    const std::string range = std::to_string(kSmallestWindow) + " to " + std::to_string(kLargestWindow);
    if (!std::regex_match(text, match, form)) {
        return "expected WIDTHxHEIGHT in pixels, each " + range + ", e.g. 1024x768";
    }
    const int width = std::stoi(match[1].str());
    const int height = std::stoi(match[2].str());
    if (width < kSmallestWindow || height < kSmallestWindow || width > kLargestWindow || height > kLargestWindow) {
        return "each size must be " + range + " pixels";
    }
    options.windowWidth = width;
    options.windowHeight = height;
    return {};
}

void declareGameOptions(CLI::App& app, GameOptions& options)
{
    app.description("Torvane: drive a car through a walled city. Keys: Up/Down accelerator, Left/Right\n"
                    "steering, F1..F8 and V the cameras, P pause, Backspace reset, F10 frame rate,\n"
                    "F9 tyre panel, Tab car setup, F11 fullscreen, F12 screenshot, Ctrl+S keeps the drive's recording, L recent drives,\n"
                    "G the ghost, M mutes the sound, Escape quits.\n"
                    "A game pad drives too. Every drive is recorded (see --record).\n");
    app.set_help_flag();
    app.add_option("--data", options.dataDir, kDataOptionHelp)
        ->option_text("DIR");
    app.add_option("--frames", options.frames, "quit by itself after N frames (unattended runs, tests)")
        ->option_text("N")
        ->check(CLI::Range(1, std::numeric_limits<int>::max()));
    app.add_flag("--fullscreen", options.fullscreen, "start fullscreen (F11 or Alt+Enter switch)");
    app.add_option_function<std::string>(
           "--window-size",
           [&options](const std::string& text) {
               if (const std::string mistake = readWindowSize(text, options); !mistake.empty()) {
                   throw CLI::ValidationError("--window-size " + text, mistake);
               }
           },
           "the window's outer size, e.g. 1024x768 (default 800x600)")
        ->option_text("WxH");
    app.add_flag("--background-keys", options.backgroundKeys,
                 "read the keys while another window has the focus (X11): keys typed elsewhere drive");
    app.add_option("--record", options.recordFile,
                   "record the drive into FILE (instead of the recordings folder; never pruned)")
        ->option_text("FILE");
    app.add_option("--replay", options.replayFile,
                   "start by watching the recorded drive FILE (Space, Left/Right, PageUp/PageDown, T takes over)")
        ->option_text("FILE");
    app.add_option("--ghost", options.ghostFile, "drive against the recorded drive FILE, shown as a translucent car")
        ->option_text("FILE");
    app.add_flag("--no-vsync", options.noVsync, "show frames without waiting for the screen's refresh");
    app.add_flag("--mute", options.mute, "start with the sound muted (M switches it on)");
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
        result.error = emptyValueMistake(app, {"--data", "--replay", "--ghost"});
    }
    return result;
}

Settings withOptions(Settings settings, const GameOptions& options)
{
    settings.fullscreen = settings.fullscreen || options.fullscreen;
    settings.windowWidth = options.windowWidth.value_or(settings.windowWidth);
    settings.windowHeight = options.windowHeight.value_or(settings.windowHeight);
    settings.backgroundKeys = settings.backgroundKeys || options.backgroundKeys;
    settings.vsync = settings.vsync && !options.noVsync;
    return settings;
}

std::string gameUsage()
{
    CLI::App app("", "torvane");
    GameOptions options;
    declareGameOptions(app, options);
    return app.help();
}

} // namespace torvane
