// Torvane's entry point: reads the command line, finds the data folder and the
// player's settings, sets the game up in its window, then runs a frame whenever
// the event queue is empty until a quit request (the window closed, Escape, or
// a pad's Start held) arrives; once a second it looks whether the car file was
// saved, and reloads the car when it was. Writes nothing but the screenshots
// the player asks for (their paths on stdout). Start-up failures are told to
// the player and end with status 2:
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

// Runs frames until the player quits, or for frames frames when set. Each
// frame's measured time goes to the readout; the simulation gets it capped.
void play(DesktopGame& desktop, const GameOptions& options, const Settings& settings)
{
    FrameTimer timer(desktopClock());
    FileWatcher carFile(kCarFile);
    bool quit = false;
    for (int frame = 0; !quit && (!options.frames || frame < *options.frames);) {
        DesktopEvent event;
        if (pollDesktopEvent(event)) {
            quit = event.quit;
            if (event.focusLost && settings.pauseOnFocusLoss) {
                game.play.paused = true;
            }
            continue;
        }
        const float measured = timer.nextFrameTime();
        game.play.countFrame(measured);
        if (carFile.changed(measured)) {
            reloadCar(game);
        }
        const FrameActions actions = runFrame(game, simulatedFrameTime(measured));
        ++frame;
        actOnDesktop(desktop, game, actions, static_cast<std::uint64_t>(frame));
        quit = actions.quitRequested;
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
    const Settings settings = withOptions(readPlayerSettings(), options);

    if (!startDesktop()) {
        return cannotStart(kNoDisplay);
    }
    if (!desktopHasDisplay()) {
        stopDesktop();
        return cannotStart(kNoDisplay);
    }
    game.carSource.path = kCarFile;
    std::unique_ptr<DesktopGame> desktop =
        startDesktopGame(game, true, {settings.windowWidth, settings.windowHeight, settings.vsync, settings.fullscreen},
                         settings);
    if (const std::string problem = startProblem(*desktop); !problem.empty()) {
        desktop.reset();
        stopDesktop();
        return cannotStart(problem);
    }
    play(*desktop, options, settings);

    game.keyboardInput.attachDevice(nullptr);
    game.padInput.attachDevice(nullptr);
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
