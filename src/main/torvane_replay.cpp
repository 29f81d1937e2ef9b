// torvane-replay: replays a drive through the game's own start-up and frame
// sequence, with the keys read from a script and a fixed (or seeded random)
// frame time, and writes telemetry and screenshots. Runs on SDL's offscreen
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
#include "replay/frame_path.h"
#include "replay/random_drive.h"
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
    std::filesystem::path keysFile; // absolute; empty: none
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
    int frames = 0;
    if (options.randomKeys) {
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
    const std::filesystem::path keysFile =
        options.keysFile.empty() ? std::filesystem::path() : std::filesystem::absolute(options.keysFile);
    outputs.inputs = {keysFile, options.carFile.empty() ? std::filesystem::path() : std::filesystem::path(carFile),
                      dataDir};
    if (const int opened = openOutputs(options, outputs); opened != kDone) {
        return opened;
    }
    if (chdir(dataDir.c_str()) != 0) {
        diagnose(dataDir.string() + ": cannot enter the data folder");
        return kBadInput;
    }
    const int status = runReplay(options, carFile, *keySource, frames, outputs);
    if (outputs.csv == stdout && std::fflush(stdout) != 0 && status == kDone) {
        reportUnwritable(outputs.csvPath);
        return kOutputFailed;
    }
    // A run stopped at a state that is not finite keeps its telemetry: it shows where.
    if ((status == kDone || status == kNotFinite) && !outputs.commit()) {
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
