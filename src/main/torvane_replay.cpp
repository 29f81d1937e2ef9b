// torvane-replay: replays a drive through the game's own start-up and frame
// sequence, with the keys read from a script and a fixed (or seeded random)
// frame time, or a drive the game recorded (checked against its state
// hashes), and writes telemetry and screenshots. Runs on SDL's offscreen
// driver unless asked for a window, or on the recording device (--no-render).
// The game itself never runs this code. Usage and exit statuses: replayUsage.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "app/car_loading.h"
#include "core/command_line.h"
#include "platform/user_folders.h"
#include "core/file_contents.h"
#include "core/message_sink.h"
#include "input/key_script.h"
#include "main/recorded_drive.h"
#include "main/replay_outputs.h"
#include "main/scripted_drive.h"
#include "recording/level_identity.h"
#include "recording/recording.h"
#include "replay/random_drive.h"
#include "replay/replay_options.h"

namespace torvane {
namespace {

constexpr int kOutOfMemory = 5;

// The largest key script read: about a million spans.
constexpr std::size_t kMaxKeyScriptBytes = std::size_t{32} << 20;

// The boxes the game would show, as diagnostics: a replay never waits for a click.
class BoxesAsDiagnostics final : public MessageSink {
public:
    void showBox(std::string_view caption, std::string_view text) override
    {
        writeDiagnosticLine("message box \"" + std::string(caption) + "\": " + std::string(text));
    }
    void diagnose(std::string_view line) override { writeDiagnosticLine(line); }
};

BoxesAsDiagnostics boxesAsDiagnostics;

// Reads and parses the key script; nothing (after naming the file and line) when it is unsound.
std::optional<KeyScript> readKeyScript(const std::string& path)
{
    const FileRead file = readFile(path.c_str(), kMaxKeyScriptBytes);
    if (!file.contents) {
        diagnose(path + (file.fault == FileFault::TooLarge ? ": cannot be read: larger than 32 MB" : ": cannot be read"));
        return std::nullopt;
    }
    const std::optional<std::string>& text = file.contents;
    ParsedKeyScript parsed = parseKeyScript(*text);
    if (parsed.error) {
        diagnose(path + ":" + std::to_string(parsed.error->lineNumber) + ": " + parsed.error->message);
        return std::nullopt;
    }
    return std::move(parsed.script);
}

int replayMain(std::span<const std::string_view> args)
{
    setProgramName("torvane-replay");
    installMessageSink(&boxesAsDiagnostics);
    const ParsedReplayOptions parsed = parseReplayOptions(args);
    if (!parsed.error.empty()) {
        diagnose(parsed.error);
        return kBadInput;
    }
    const ReplayOptions& options = parsed.options;
    if (options.help || options.version) {
        std::fputs(options.help ? replayUsage().c_str() : (versionLine("torvane-replay") + "\n").c_str(), stdout);
        return kDone;
    }

    std::optional<KeySource> keySource;
    std::optional<Recording> recording;
    int frames = 0;
    if (!options.recordingFile.empty()) {
        RecordingRead read = readRecording(options.recordingFile);
        if (!read.recording) {
            diagnose(read.error);
            return kBadInput;
        }
        recording = std::move(read.recording);
    } else if (options.randomKeys) {
        keySource.emplace(std::in_place_type<RandomKeyPlayer>, options.seed, *options.frames);
        frames = *options.frames;
    } else {
        KeyScript script;
        if (!options.keysFile.empty()) {
            std::optional<KeyScript> read = readKeyScript(options.keysFile);
            if (!read) {
                return kBadInput;
            }
            script = std::move(*read);
        }
        frames = options.frames.value_or(lastScriptFrame(script));
        keySource.emplace(std::in_place_type<KeyScriptPlayer>, script);
    }

    Outputs outputs;
    // The key script and the car file are named relative to where the tool was
    // started, the level's files relative to the data folder: the first are made
    // absolute before the second is entered.
    const std::string carFile =
        options.carFile.empty() ? kCarFile : std::filesystem::absolute(options.carFile).string();
    const DataFolderSearch data = searchDataFolder(options.dataDir);
    std::error_code error;
    const std::filesystem::path dataDir =
        data.folder ? std::filesystem::canonical(*data.folder, error) : std::filesystem::path();
    if (!data.folder || error) {
        diagnose("no data folder (a folder holding maps/city.ldo); looked in:");
        for (const LookedInPlace& place : data.lookedIn) {
            diagnose("  " + lookedInLine(place));
        }
        return kBadInput;
    }
    const std::string& driveFile = recording ? options.recordingFile : options.keysFile;
    const std::filesystem::path keysFile =
        driveFile.empty() ? std::filesystem::path() : std::filesystem::absolute(driveFile);
    outputs.inputs = {keysFile, options.carFile.empty() ? std::filesystem::path() : std::filesystem::path(carFile),
                      dataDir};
    if (const int opened = openOutputs(options, outputs); opened != kDone) {
        return opened;
    }
    if (outputs.video) {
        double seconds = frames * 0.5 * (options.minimumFrameTime + options.maximumFrameTime);
        if (recording) {
            seconds = 0.0;
            for (const RecordedFrame& frame : recording->frames) {
                seconds += frame.frameTime;
            }
        }
        setVideoPace(*outputs.video, recording ? static_cast<int>(recording->frames.size()) : frames, seconds);
    }
    if (chdir(dataDir.c_str()) != 0) {
        diagnose(dataDir.string() + ": cannot enter the data folder");
        return kBadInput;
    }
    if (recording && recording->header.programVersion != programVersion()) {
        diagnose(options.recordingFile + ": recorded by Torvane " + recording->header.programVersion +
                 ", replayed by " + std::string(programVersion()) +
                 ": its states may differ where the simulation changed");
    }
    if (recording && recording->header.levelHash != levelDataHash()) {
        diagnose(options.recordingFile + ": recorded on other level data than " + dataDir.string() +
                 "'s (its maps differ): not replayed");
        return kBadInput;
    }
    const std::string otherCar = options.carFile.empty() ? "" : carFile;
    const int status = recording ? runRecordedDrive(options, *recording, otherCar, outputs)
                                 : runScriptedDrive(options, carFile, *keySource, frames, outputs);
    if (outputs.csv == stdout && std::fflush(stdout) != 0 && status == kDone) {
        reportUnwritable(outputs.csvPath);
        return kOutputFailed;
    }
    // A run stopped at a state that is not finite, or one that differs from its
    // recording's, or a recording cut short, keeps its telemetry: it shows where.
    const bool telling = status == kNotFinite || status == kStateDiffers || status == kRecordingCut;
    if ((status == kDone || telling) && !outputs.commit()) {
        return kOutputFailed;
    }
    return status;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        return torvane::replayMain(args);
    } catch (const std::bad_alloc&) {
        torvane::writeDiagnosticLine("out of memory");
        return torvane::kOutOfMemory;
    }
}
