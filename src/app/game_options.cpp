#include "app/game_options.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <regex>

namespace torvane {
namespace {

constexpr int kBadOption = 2;
constexpr int kSmallestWindow = 160; // pixels
constexpr int kLargestWindow = 16384;

// "WxH" into width and height; an error text when it is not two sizes in range.
std::string readWindowSize(const std::string& text, int& width, int& height)
{
    static const std::regex form(R"(([0-9]{1,5})x([0-9]{1,5}))");
    std::smatch match;
    if (!std::regex_match(text, match, form)) {
        return "expected WIDTHxHEIGHT in pixels, e.g. 1024x768";
    }
    const int w = std::stoi(match[1].str());
    const int h = std::stoi(match[2].str());
    if (w < kSmallestWindow || h < kSmallestWindow || w > kLargestWindow || h > kLargestWindow) {
        return "each size must be from " + std::to_string(kSmallestWindow) + " to " + std::to_string(kLargestWindow);
    }
    width = w;
    height = h;
    return {};
}

} // namespace

ParsedGameOptions parseGameOptions(int argc, const char* const* argv)
{
    ParsedGameOptions parsed;
    GameOptions& options = parsed.options;
    CLI::App app("Torvane: drive a car through a walled city.", "torvane");
    app.set_version_flag("--version", TORVANE_VERSION);
    app.add_flag("--fullscreen", options.fullscreen, "start in fullscreen (F11 or Alt+Enter switch)");
    std::string windowSize;
    const CLI::Validator windowSizeCheck(
        [&options](std::string& text) { return readWindowSize(text, options.windowWidth, options.windowHeight); },
        "WxH");
    app.add_option("--window-size", windowSize, "the window's size, e.g. 1024x768 (default 800x600)")
        ->type_name("WxH")
        ->check(windowSizeCheck);
    app.add_option("--data", options.dataDir, "the folder holding maps/ and objets/ (default: the working directory)")
        ->type_name("DIR")
        ->check(CLI::ExistingDirectory);
    app.add_flag("--background-keys", options.backgroundKeys,
                 "read the keys while another window has the focus (X11; keys typed elsewhere then drive)");
    bool noVsync = false;
    app.add_flag("--no-vsync", noVsync, "present frames without waiting for the screen's refresh");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        parsed.exitStatus = 0;
    } catch (const CLI::CallForVersion&) {
        std::printf("torvane %s\n", TORVANE_VERSION);
        parsed.exitStatus = 0;
    } catch (const CLI::ParseError& error) {
        std::fprintf(stderr, "torvane: %s\nRun 'torvane --help' for the options.\n", error.what());
        parsed.exitStatus = kBadOption;
    }
    options.vsync = !noVsync;
    return parsed;
}

} // namespace torvane
