// Torvane's entry point: reads the command line, finds the data folder and the
// player's settings, sets the game up in its window, then runs a frame whenever
// the event queue is empty until a quit request (the window closed, or Escape)
// arrives; once a second it looks whether the car file was saved, and reloads
// the car when it was. Start-up failures are told to the player and end with status 2:
// a bad option, no data folder, no display, no OpenGL 3.3.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "app/desktop_game.h"
#include "app/game_options.h"
#include "core/command_line.h"
#include "core/file_watcher.h"
#include "core/frame_timer.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "core/settings.h"
#include "platform/user_folders.h"

namespace torvane {
namespace {

constexpr int kQuit = 0;
constexpr int kCannotStart = 2;

// The game's objects live for the whole run.
Game game;

// Shows a start-up failure to the player, with no window left open.
int cannotStart(std::string_view text)
{
    showBox(kCriticalCaption, text);
    return kCannotStart;
}

// The player's settings; each mistake in the file named on stderr.
Settings readPlayerSettings()
{
    const std::string path = settingsFilePath();
    SettingsRead read = path.empty() ? SettingsRead{} : readSettingsFile(path);
    for (const std::string& problem : read.problems) {
        diagnose(problem);
    }
    return read.settings;
}

// Runs frames until the player quits, or for frames frames when set.
void play(const GameOptions& options)
{
    FrameTimer timer(desktopClock());
    FileWatcher carFile(kCarFile);
    bool quit = false;
    for (int frame = 0; !quit && (!options.frames || frame < *options.frames);) {
        if (!pollDesktopEvent(quit)) {
            const float frameTime = timer.nextFrameTime();
            if (carFile.changed(frameTime)) {
                reloadCar(game);
            }
            quit = runFrame(game, frameTime).quitRequested;
            ++frame;
        }
    }
}

int gameMain(std::span<const std::string_view> args)
{
    setProgramName("torvane");
    const ParsedGameOptions parsed = parseGameOptions(args);
    if (!parsed.error.empty()) {
        diagnose(parsed.error);
        return kBadCommandLine;
    }
    const GameOptions& options = parsed.options;
    if (options.help || options.version) {
        std::fputs(options.help ? gameUsage().c_str() : (versionLine("torvane") + "\n").c_str(), stdout);
        return kQuit;
    }

    installMessageSink(&desktopMessageSink());
    const DataFolderSearch data = searchDataFolder(options.dataDir);
    // The level files name meshes and textures relative to the data folder.
    if (!data.folder || chdir(data.folder->c_str()) != 0) {
        return cannotStart(noDataFolderMessage(data.lookedIn));
    }
    const Settings settings = readPlayerSettings();

    if (!startDesktop()) {
        return cannotStart(kNoDisplay);
    }
    if (!desktopHasDisplay()) {
        stopDesktop();
        return cannotStart(kNoDisplay);
    }
    game.carSource.path = kCarFile;
    std::unique_ptr<DesktopGame> desktop =
        startDesktopGame(game, true, {settings.windowWidth, settings.windowHeight, settings.vsync});
    if (const std::string problem = startProblem(*desktop); !problem.empty()) {
        desktop.reset();
        stopDesktop();
        return cannotStart(problem);
    }
    play(options);

    game.keyboardInput.attachDevice(nullptr);
    game.device = nullptr;
    desktop.reset();
    stopDesktop();
    return kQuit;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    using namespace torvane;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        return gameMain(args);
    } catch (const std::bad_alloc&) {
        showBox(kCriticalCaption, kOutOfMemory); // the readers refuse what does not fit; this is the rest
        return 1;
    }
}
