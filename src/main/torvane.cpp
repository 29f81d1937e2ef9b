// Torvane's entry point: reads the command line, finds the data folder and the
// player's settings, sets the game up in its window, then runs a frame whenever
// the event queue is empty until a quit request (the window closed, Escape, or
// a pad's Start held) arrives; once a second it looks whether the car file was
// saved, and reloads the car when it was. Every drive is recorded into the
// recordings folder ($XDG_DATA_HOME/torvane/recordings, the latest "recordings
// kept" of them; Ctrl+S keeps one in its saved/ subfolder) or into the file
// --record names. Writes nothing else but the screenshots the player asks for
// (their paths on stdout). Start-up failures are told to the player and end
// with status 2: a bad option, no data folder, no display, no OpenGL 3.3.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "app/desktop_game.h"
#include "app/drive_recorder.h"
#include "app/drive_viewing.h"
#include "app/game_options.h"
#include "core/command_line.h"
#include "core/file_watcher.h"
#include "core/frame_timer.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "core/settings.h"
#include "platform/user_folders.h"
#include "recording/level_identity.h"
#include "recording/recording_folder.h"
#include "sound/sound_scene.h"

namespace torvane {
namespace {

constexpr int kQuit = 0;
constexpr int kCannotStart = 2;
// How long the recording's notes stay on the screen, in seconds.
constexpr float kRecordingNoticeSeconds = 3.0f;

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

// Where this drive is recorded: recordFile (absolute) when given, else a new
// file in the recordings folder, after the files a crash left there are
// recovered and the oldest beyond "recordings kept" deleted. Nothing when the
// folder cannot be had or no recording is to be kept.
std::unique_ptr<DriveRecorder> startRecording(const std::string& recordFile, const Settings& settings,
                                              const std::string& recordingsFolder)
{
    std::string path = recordFile;
    if (path.empty()) {
        std::error_code error;
        if (recordingsFolder.empty() || settings.recordingsKept <= 0 ||
            (std::filesystem::create_directories(recordingsFolder, error), error)) {
            return nullptr;
        }
        for (const std::string& recovered : recoverPartFiles(recordingsFolder)) {
            diagnose(recovered + ": recovered (the game that recorded it did not finish)");
        }
        pruneRecordings(recordingsFolder, settings.recordingsKept - 1);
        path = newRecordingPath(recordingsFolder, static_cast<std::int64_t>(std::time(nullptr)));
    }
    return DriveRecorder::start(game, path, levelDataHash());
}

// Records the frame just run, keeps the drive on Ctrl+S and tells the player
// once when the recording stopped.
void recordFrame(DriveRecorder& recorder, float frameTime, const FrameActions& actions, const std::string& keptFolder)
{
    if (actions.simulationSkipped) {
        recorder.noteSimulationSkipped();
    }
    recorder.recordFrame(game, frameTime);
    if (actions.saveDriveRequested) {
        game.play.showNotice(recorder.keep(keptFolder), kRecordingNoticeSeconds);
    }
    if (std::string note = recorder.takeStopNote(); !note.empty()) {
        diagnose(note);
        game.play.showNotice(std::move(note), kRecordingNoticeSeconds);
    }
}

// How long the mute's note stays on the screen, in seconds.
constexpr float kMuteNoticeSeconds = 1.5f;

// M: the sound off or on again, said on the screen.
void actOnSound(const FrameActions& actions)
{
    if (actions.muteToggled && game.sound != nullptr) {
        game.sound->toggleMute();
        game.play.showNotice(std::string(game.sound->isMuted() ? kSoundMuted : kSoundOn), kMuteNoticeSeconds);
    }
}

// Where this run's drives are recorded.
struct RecordingPlace {
    std::string file;       // --record's file, for the first drive; empty: the folder
    std::string folder;     // the recordings folder
    std::string keptFolder; // where Ctrl+S keeps a drive; empty: kept already (--record)
};

// Finishes the drive's recording, if any.
void finishRecording(std::unique_ptr<DriveRecorder>& recorder)
{
    if (recorder != nullptr && !recorder->finish()) {
        diagnose(recorder->path() + ": the recording ends before the drive did");
    }
    recorder.reset();
}

// Runs frames until the player quits, or for frames frames when set. Each
// frame's measured time goes to the readout; the simulation gets it capped.
// With a recorder, every frame and what the loop did outside the keys are
// recorded. While a drive is watched, its frames run instead and nothing is
// recorded; the drive taken over or returned to is recorded anew.
void play(DesktopGame& desktop, const GameOptions& options, const Settings& settings,
          std::unique_ptr<DriveRecorder>& recorder, RecordingPlace& place, DriveViewing& viewing)
{
    FrameTimer timer(desktopClock());
    FileWatcher carFile(kCarFile);
    bool quit = false;
    for (int frame = 0; !quit && (!options.frames || frame < *options.frames);) {
        DesktopEvent event;
        if (pollDesktopEvent(event)) {
            quit = event.quit;
            if (event.focusLost && settings.pauseOnFocusLoss && !viewing.isWatching()) {
                game.play.paused = true;
                if (recorder != nullptr) {
                    recorder->noteFocusPause();
                }
            }
            continue;
        }
        const float measured = timer.nextFrameTime();
        game.play.countFrame(measured);
        if (viewing.isWatching()) {
            FrameActions actions;
            ++frame;
            if (viewing.watchFrame(measured, actions) == ViewingChange::DriveStarted) {
                recorder = startRecording(std::exchange(place.file, {}), settings, place.folder);
            }
            actOnDesktop(desktop, game, actions, static_cast<std::uint64_t>(frame));
            actOnSound(actions);
            continue;
        }
        if (carFile.changed(measured) && reloadCar(game) && recorder != nullptr) {
            recorder->noteCarReloaded(game);
        }
        const float frameTime = simulatedFrameTime(measured);
        viewing.beforeDrivingFrame(frameTime);
        FrameActions actions = runFrame(game, frameTime);
        ++frame;
        const ViewingChange change = viewing.afterDrivingFrame(actions);
        if (recorder != nullptr) {
            recordFrame(*recorder, frameTime, actions, place.keptFolder);
        }
        if (change == ViewingChange::DriveEnded) {
            finishRecording(recorder);
            place.keptFolder = place.folder + "/" + kSavedRecordingsFolder;
        }
        actOnDesktop(desktop, game, actions, static_cast<std::uint64_t>(frame));
        actOnSound(actions);
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
    // Named relative to where the game was started, before the data folder is entered.
    auto fromStart = [](const std::string& path) {
        return path.empty() ? std::string() : std::filesystem::absolute(path).string();
    };
    const std::string recordFile = fromStart(options.recordFile);
    const std::string replayFile = fromStart(options.replayFile);
    const std::string ghostFile = fromStart(options.ghostFile);
    if (!recordFile.empty() && access(std::filesystem::path(recordFile).parent_path().c_str(), W_OK) != 0) {
        diagnose(options.recordFile + ": cannot be written (no such folder, or no permission)");
        return kBadCommandLine;
    }
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
    // The sound comes up beside the first frames, never in their way.
    SoundScene sound(static_cast<float>(settings.soundVolume), options.mute);
    if (settings.soundEnabled) {
        sound.startPlayback("sounds");
        game.sound = &sound;
    }
    const std::string recordings = recordingsFolder();
    // A drive recorded into --record's file is kept already.
    RecordingPlace place{recordFile, recordings,
                         recordFile.empty() ? recordings + "/" + kSavedRecordingsFolder : std::string()};
    DriveViewing viewing(game, recordings, levelDataHash());
    viewing.setInputDevices(desktop->keyboard.get(), desktop->pads.get());
    // A recording named on the command line that cannot be read stops the start.
    const std::string unreadable = !ghostFile.empty() && !viewing.race(ghostFile)     ? ghostFile
                                    : !replayFile.empty() && !viewing.watch(replayFile) ? replayFile
                                                                                        : std::string();
    std::unique_ptr<DriveRecorder> recorder;
    if (unreadable.empty()) {
        if (replayFile.empty()) {
            recorder = startRecording(std::exchange(place.file, {}), settings, place.folder);
        }
        play(*desktop, options, settings, recorder, place, viewing);
        finishRecording(recorder);
    }

    game.keyboardInput.attachDevice(nullptr);
    game.padInput.attachDevice(nullptr);
    game.device = nullptr;
    game.sound = nullptr;
    desktop.reset();
    stopDesktop();
    return unreadable.empty() ? kQuit : cannotStart(cannotWatchMessage(unreadable));
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
