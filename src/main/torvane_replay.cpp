// torvane-replay: replays a drive through the game's own start-up and frame
// sequence, with the keys read from a script and a fixed (or seeded random)
// frame time, or a drive the game recorded (checked against its state
// hashes), and writes telemetry and screenshots. Runs on SDL's offscreen
// driver unless asked for a window, or on the recording device (--no-render).
// The game itself never runs this code. Usage and exit statuses: replayUsage.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <variant>
#include <vector>

#include "app/desktop_game.h"
#include "app/recorded_play.h"
#include "carfile/car_file.h"
#include "core/content_hash.h"
#include "recording/level_identity.h"
#include "replay/frame_path.h"
#include "replay/random_drive.h"
#include "replay/recording_keys.h"
#include "replay/replay_options.h"
#include "replay/telemetry.h"
#include "input/key_script.h"
#include "assets/png_encode.h"
#include "core/atomic_file.h"
#include "core/command_line.h"
#include "core/file_contents.h"
#include "core/message_sink.h"
#include "platform/user_folders.h"
#include "render/headless_device.h"

namespace torvane {
namespace {

constexpr int kDone = 0;
constexpr int kOutputFailed = 1;
constexpr int kBadInput = kBadCommandLine;
constexpr int kNotFinite = 3;
constexpr int kNoDevice = 4;
constexpr int kOutOfMemory = 5;
constexpr int kStateDiffers = 6;
constexpr int kRecordingCut = 7;

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

void reportUnwritable(const std::string& path)
{
    diagnose(path + ": cannot be written");
}

// Where the run draws: the desktop (window and OpenGL) or the headless device.
struct Stage {
    std::unique_ptr<DesktopGame> desktop;
    std::unique_ptr<HeadlessDevice> headless;
    bool sdlStarted = false;

    ~Stage()
    {
        desktop.reset();
        if (sdlStarted) {
            stopDesktop();
        }
    }
};

// The same start-up as the game's, on the headless device.
void startHeadless(Game& game, Stage& stage)
{
    stage.headless = std::make_unique<HeadlessDevice>();
    HeadlessDevice& device = *stage.headless;
    setupDevice(game, device);
    device.clearLog();
}

// The game's real start-up; false (after saying why) when no OpenGL device came up.
bool startDesktopStage(Game& game, Stage& stage, bool window)
{
    if (!window) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    stage.sdlStarted = startDesktop();
    if (!stage.sdlStarted) {
        return false;
    }
    stage.desktop = startDesktopGame(game, false);
    if (stage.desktop->device == nullptr) {
        const DesktopWindow* opened = stage.desktop->window.get();
        diagnose(std::string("no OpenGL 3.3 device on SDL's ") + (window ? "default" : "offscreen") + " driver" +
                 (opened != nullptr && !opened->hasGlContext() ? " (offered: " + opened->offeredGlVersion() + ")" : ""));
        return false;
    }
    return true;
}

// The files a run reads, which no output may name.
struct Inputs {
    std::filesystem::path keysFile; // absolute; empty: none (or the recording)
    std::filesystem::path carFile;  // absolute; empty: the data folder's own
    std::filesystem::path dataDir;  // absolute and normal
};

// Whether writing to path would overwrite an input: the key script, the car
// file, or anything in the data folder.
bool namesAnInput(const std::filesystem::path& path, const Inputs& inputs)
{
    std::error_code error;
    for (const std::filesystem::path& file : {inputs.keysFile, inputs.carFile}) {
        if (!file.empty() && std::filesystem::equivalent(path, file, error)) {
            return true;
        }
    }
    const std::filesystem::path full = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error);
    const auto [dataEnd, fullAt] = std::mismatch(inputs.dataDir.begin(), inputs.dataDir.end(), full.begin(), full.end());
    return dataEnd == inputs.dataDir.end();
}

// The run's outputs, each a temporary file until the run ends well.
struct Outputs {
    std::optional<AtomicFile> csvFile;
    std::FILE* csv = nullptr; // stdout or csvFile's temporary
    std::string csvPath;
    std::string pngPattern; // absolute, so the data folder does not move it
    int pngEvery = 1;
    std::vector<AtomicFile> screenshots; // finished, waiting for the end of the run
    Inputs inputs;

    // Renames every output into place; false after naming the first that failed.
    bool commit()
    {
        if (csvFile && !csvFile->commit()) {
            reportUnwritable(csvPath);
            return false;
        }
        for (AtomicFile& shot : screenshots) {
            if (!shot.commit()) {
                reportUnwritable(shot.targetPath());
                return false;
            }
        }
        return true;
    }
};

// Writes one CSV row; false when the file refused it.
bool writeRow(Outputs& outputs, const std::string& row)
{
    return outputs.csv == nullptr || std::fputs(row.c_str(), outputs.csv) >= 0;
}

// Writes the screenshot of frame to a temporary file kept in outputs; the exit status.
int writeScreenshot(Outputs& outputs, const GlDevice& device, int frame)
{
    const std::string path = formatFramePath(outputs.pngPattern, frame).value_or("");
    if (namesAnInput(path, outputs.inputs)) {
        diagnose(path + ": is an input of the run, not overwritten");
        return kBadInput;
    }
    Image image{device.backBufferWidth(), device.backBufferHeight(), device.readBackBuffer()};
    AtomicFile file(path);
    if (!writePng(file.file(), image) || !file.finish()) {
        reportUnwritable(path);
        return kOutputFailed;
    }
    outputs.screenshots.push_back(std::move(file));
    return kDone;
}

// Sets the key snapshot: held keys 0x80, every other key up.
void holdKeys(KeyboardInput& input, const std::bitset<kKeyCount>& keys)
{
    for (int code = 0; code < kKeyCount; ++code) {
        input.setKeyByte(static_cast<KeyCode>(code), keys.test(static_cast<std::size_t>(code)) ? 0x80 : 0);
    }
}

// Writes row frame and checks it; the exit status when the run must stop, else kDone.
int recordFrame(Outputs& outputs, const ReplayOptions& options, const Game& game, int frame, float dt,
                const std::bitset<kKeyCount>& keys)
{
    if (!writeRow(outputs, telemetryRow(frame, dt, keys, game.playerCar, game.camera))) {
        reportUnwritable(outputs.csvPath);
        return kOutputFailed;
    }
    if (options.checkFinite) {
        if (const TelemetryColumn* column = firstNonFiniteColumn(game.playerCar, game.camera)) {
            const bool seeded = options.randomKeys || options.minimumFrameTime != options.maximumFrameTime;
            char value[32];
            std::snprintf(value, sizeof value, "%g", column->read(game.playerCar, game.camera));
            diagnose("frame " + std::to_string(frame) + ": " + column->name + " is " + value +
                     (seeded ? " (seed " + std::to_string(options.seed) + ")" : ""));
            return kNotFinite;
        }
    }
    return kDone;
}

// The keys of each frame: from a script read whole, or a random drive drawn as it goes.
using KeySource = std::variant<KeyScriptPlayer, RandomKeyPlayer>;

int runReplay(const ReplayOptions& options, const std::string& carFile, KeySource& keySource, int frames,
              Outputs& outputs)
{
    auto game = std::make_unique<Game>();
    game->carSource.path = carFile;
    Stage stage;
    if (options.noRender) {
        startHeadless(*game, stage);
    } else if (!startDesktopStage(*game, stage, options.window)) {
        return kNoDevice;
    }
    if (!game->carSource.fromFile) {
        return kBadInput; // the start-up named the file's errors
    }

    const std::string carName = options.carFile.empty() ? kCarFile : options.carFile;
    if (!writeRow(outputs, telemetryHeader(carName, game->carSource.hash))) {
        reportUnwritable(outputs.csvPath);
        return kOutputFailed;
    }
    int status = recordFrame(outputs, options, *game, 0, 0.0f, {});
    RandomFrameTimes frameTimes(options.seed, options.minimumFrameTime, options.maximumFrameTime);
    bool quit = false;
    for (int frame = 0; frame < frames && status == kDone && !quit;) {
        ++frame; // counted here, so a run of INT_MAX frames ends without overflow
        bool windowClosed = false;
        while (stage.sdlStarted && pollDesktopEvent(windowClosed)) {
            quit = quit || windowClosed;
        }
        const float dt = options.uncappedFrameTimes ? frameTimes.next() : simulatedFrameTime(frameTimes.next());
        const std::bitset<kKeyCount> keys =
            std::visit([frame](auto& source) { return source.keysHeldIn(frame); }, keySource);
        holdKeys(game->keyboardInput, keys);
        quit = runFrame(*game, dt).quitRequested || quit;
        if (stage.headless) {
            stage.headless->clearLog();
        }
        status = recordFrame(outputs, options, *game, frame, dt, keys);
        if (status == kDone && !outputs.pngPattern.empty() && frame % outputs.pngEvery == 0) {
            status = writeScreenshot(outputs, *stage.desktop->device, frame);
        }
    }
    game->device = nullptr;
    return status;
}

// Writes the recording's keys as a key script to path; the exit status.
int exportKeys(const std::string& path, const Recording& recording, const Keyframe& freshStart, const Inputs& inputs)
{
    std::string refusal;
    const std::optional<std::string> text = recordingKeyScript(recording, freshStart, refusal);
    if (!text) {
        diagnose(path + ": not written: the recording cannot be a key script: " + refusal);
        return kBadInput;
    }
    if (namesAnInput(path, inputs)) {
        diagnose(path + ": is an input of the run, not overwritten");
        return kBadInput;
    }
    AtomicFile file(path);
    if (file.file() == nullptr || std::fwrite(text->data(), 1, text->size(), file.file()) != text->size() ||
        !file.finish() || !file.commit()) {
        reportUnwritable(path);
        return kOutputFailed;
    }
    return kDone;
}

// Gives the game the car to replay with: the recording's own, or (an A/B
// comparison) the car file carFile; false after naming why it was refused.
bool takeReplayCar(Game& game, const Recording& recording, const std::string& carFile)
{
    if (carFile.empty()) {
        return takeCarText(game, recording.header.carText, "the recording's car file");
    }
    const CarFileReading reading = readCarFile(carFile);
    for (const CarFileError& error : reading.errors) {
        diagnose(formatCarFileError(carFile, error));
    }
    return reading.parameters && takeCarText(game, reading.text, carFile);
}

// Replays a recorded drive and checks its state hashes (not with another car);
// the exit status, after saying how the drive compared.
int runRecordedDrive(const ReplayOptions& options, const Recording& recording, const std::string& carFile,
                     Outputs& outputs)
{
    auto game = std::make_unique<Game>();
    Stage stage; // the built-in car at start-up; the recording's car comes next
    if (options.noRender) {
        startHeadless(*game, stage);
    } else if (!startDesktopStage(*game, stage, options.window)) {
        return kNoDevice;
    }
    if (!takeReplayCar(*game, recording, carFile)) {
        return kBadInput;
    }
    // Another car file with the very text of the recording's car replays it as it was.
    const bool otherCar = !carFile.empty() && game->carSource.text != recording.header.carText;
    if (otherCar) {
        diagnose(carFile + ": not the recording's car: the recorded inputs drive it, the states are not checked");
    }
    if (!options.exportKeysFile.empty()) {
        if (const int exported = exportKeys(options.exportKeysFile, recording, captureKeyframe(*game), outputs.inputs);
            exported != kDone) {
            return exported;
        }
    }
    restoreKeyframe(*game, recording.header.start);

    const std::string carName = otherCar ? options.carFile : options.recordingFile + " (its car)";
    if (!writeRow(outputs, telemetryHeader(carName, contentHash(game->carSource.text)))) {
        reportUnwritable(outputs.csvPath);
        return kOutputFailed;
    }
    int status = recordFrame(outputs, options, *game, 0, 0.0f, {});
    auto check = recording.stateChecks.begin();
    std::uint32_t lastMatch = 0;
    const auto frames = static_cast<std::uint32_t>(recording.frames.size());
    std::uint32_t frame = 0;
    bool quit = false;
    while (frame < frames && status == kDone && !quit) {
        ++frame;
        bool windowClosed = false;
        while (stage.sdlStarted && pollDesktopEvent(windowClosed)) {
            quit = quit || windowClosed;
        }
        const RecordedFrame& recorded = recording.frames[frame - 1];
        playRecordedFrame(*game, recorded, otherCar ? nullptr : recording.carReloadAt(frame));
        if (stage.headless) {
            stage.headless->clearLog();
        }
        status = recordFrame(outputs, options, *game, static_cast<int>(frame), recorded.frameTime,
                             keysOfRows(recorded.keys));
        if (check != recording.stateChecks.end() && check->frame == frame) {
            const std::uint64_t hash = carStateHash(captureCarState(game->playerCar));
            if (!otherCar && hash != check->hash) {
                diagnose(options.recordingFile + ": frame " + std::to_string(frame) +
                         ": the state differs from the recording's (it matched at frame " + std::to_string(lastMatch) +
                         ", checked every " + std::to_string(recording.header.stateHashEvery) + " frames)");
                status = status == kDone ? kStateDiffers : status;
            }
            lastMatch = frame;
            ++check;
        }
        const bool screenshotDue = frame % static_cast<std::uint32_t>(outputs.pngEvery) == 0;
        if (status == kDone && !outputs.pngPattern.empty() && screenshotDue) {
            status = writeScreenshot(outputs, *stage.desktop->device, static_cast<int>(frame));
        }
    }
    game->device = nullptr;
    if (status != kDone) {
        return status;
    }
    std::FILE* summary = outputs.csv == stdout ? stderr : stdout;
    if (otherCar) {
        std::fprintf(summary, "%u frames, replayed with %s (states not checked)\n", frame, options.carFile.c_str());
    } else {
        std::fprintf(summary, "%u frames, identical\n", frame);
    }
    if (!recording.complete) {
        diagnose(recording.stopNote);
        return kRecordingCut;
    }
    return kDone;
}

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

// Opens the outputs relative to the current folder; the exit status, after naming what failed.
int openOutputs(const ReplayOptions& options, Outputs& outputs)
{
    outputs.csvPath = options.csvFile;
    if (options.csvFile == "-") {
        outputs.csv = stdout;
    } else if (!options.csvFile.empty()) {
        if (namesAnInput(options.csvFile, outputs.inputs)) {
            diagnose(options.csvFile + ": is an input of the run, not overwritten");
            return kBadInput;
        }
        outputs.csvFile.emplace(std::filesystem::absolute(options.csvFile).string());
        outputs.csv = outputs.csvFile->file();
        if (outputs.csv == nullptr) {
            reportUnwritable(options.csvFile);
            return kOutputFailed;
        }
    }
    if (!options.pngPattern.empty()) {
        outputs.pngPattern = std::filesystem::absolute(options.pngPattern).string();
    }
    outputs.pngEvery = options.pngEvery;
    return kDone;
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
                                 : runReplay(options, carFile, *keySource, frames, outputs);
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
