// torvane-replay: replays a drive through the game's own start-up and frame
// sequence, with the keys read from a script and a fixed (or seeded random)
// frame time, and writes telemetry and screenshots. Runs on SDL's offscreen
// driver unless asked for a window, or on the recording device (--no-render).
// The game itself never runs this code. Usage and exit statuses: replayUsage.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop_game.h"
#include "replay/frame_path.h"
#include "replay/random_drive.h"
#include "replay/replay_options.h"
#include "replay/telemetry.h"
#include "input/key_script.h"
#include "assets/png_encode.h"
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

struct Outputs {
    std::FILE* csv = nullptr; // stdout or a file of our own
    std::string csvPath;
    std::string pngPattern; // absolute, so the data folder does not move it
    int pngEvery = 1;

    ~Outputs()
    {
        if (csv != nullptr && csv != stdout) {
            std::fclose(csv);
        }
    }
};

// Writes one CSV row; false when the file refused it.
bool writeRow(Outputs& outputs, const std::string& row)
{
    return outputs.csv == nullptr || std::fputs(row.c_str(), outputs.csv) >= 0;
}

bool writeScreenshot(const Outputs& outputs, const GlDevice& device, int frame)
{
    const std::string path = formatFramePath(outputs.pngPattern, frame).value_or("");
    Image image{device.backBufferWidth(), device.backBufferHeight(), device.readBackBuffer()};
    if (!writePngFile(path.c_str(), image)) {
        reportUnwritable(path);
        return false;
    }
    return true;
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

int runReplay(const ReplayOptions& options, const std::string& carFile, const KeyScript& script, int frames,
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
    KeyScriptPlayer keyPlayer(script);
    bool quit = false;
    for (int frame = 0; frame < frames && status == kDone && !quit;) {
        ++frame; // counted here, so a run of INT_MAX frames ends without overflow
        bool windowClosed = false;
        while (stage.sdlStarted && pollDesktopEvent(windowClosed)) {
            quit = quit || windowClosed;
        }
        const float dt = options.uncappedFrameTimes ? frameTimes.next() : simulatedFrameTime(frameTimes.next());
        const std::bitset<kKeyCount> keys = keyPlayer.keysHeldIn(frame);
        holdKeys(game->keyboardInput, keys);
        quit = runFrame(*game, dt).quitRequested || quit;
        if (stage.headless) {
            stage.headless->clearLog();
        }
        status = recordFrame(outputs, options, *game, frame, dt, keys);
        if (status == kDone && !outputs.pngPattern.empty() && frame % outputs.pngEvery == 0 &&
            !writeScreenshot(outputs, *stage.desktop->device, frame)) {
            status = kOutputFailed;
        }
    }
    game->device = nullptr;
    return status;
}

// Reads and parses the key script; nothing (after naming the file and line) when it is unsound.
std::optional<KeyScript> readKeyScript(const std::string& path)
{
    const std::optional<std::string> text = readFileContents(path.c_str());
    if (!text) {
        diagnose(path + ": cannot be read");
        return std::nullopt;
    }
    ParsedKeyScript parsed = parseKeyScript(*text);
    if (parsed.error) {
        diagnose(path + ":" + std::to_string(parsed.error->lineNumber) + ": " + parsed.error->message);
        return std::nullopt;
    }
    return std::move(parsed.script);
}

// Opens the outputs relative to the current folder; false after naming what failed.
bool openOutputs(const ReplayOptions& options, Outputs& outputs)
{
    outputs.csvPath = options.csvFile;
    if (options.csvFile == "-") {
        outputs.csv = stdout;
    } else if (!options.csvFile.empty()) {
        outputs.csv = std::fopen(options.csvFile.c_str(), "w");
        if (outputs.csv == nullptr) {
            reportUnwritable(options.csvFile);
            return false;
        }
    }
    if (!options.pngPattern.empty()) {
        outputs.pngPattern = std::filesystem::absolute(options.pngPattern).string();
    }
    outputs.pngEvery = options.pngEvery;
    return true;
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

    KeyScript script;
    if (options.randomKeys) {
        script = randomKeyScript(options.seed, *options.frames);
    } else if (!options.keysFile.empty()) {
        std::optional<KeyScript> read = readKeyScript(options.keysFile);
        if (!read) {
            return kBadInput;
        }
        script = std::move(*read);
    }
    const int frames = options.frames.value_or(lastScriptFrame(script));

    Outputs outputs;
    if (!openOutputs(options, outputs)) {
        return kOutputFailed;
    }
    // The car file is named relative to where the tool was started, the level's
    // files relative to the data folder: the first is made absolute before the
    // second is entered.
    const std::string carFile =
        options.carFile.empty() ? kCarFile : std::filesystem::absolute(options.carFile).string();
    const DataFolderSearch data = searchDataFolder(options.dataDir);
    if (!data.folder || chdir(data.folder->c_str()) != 0) {
        diagnose("no data folder (a folder holding maps/city.ldo); looked in:");
        for (const LookedInPlace& place : data.lookedIn) {
            diagnose("  " + lookedInLine(place));
        }
        return kBadInput;
    }
    const int status = runReplay(options, carFile, script, frames, outputs);
    if (outputs.csv != nullptr && std::fflush(outputs.csv) != 0 && status == kDone) {
        reportUnwritable(outputs.csvPath);
        return kOutputFailed;
    }
    return status;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return torvane::replayMain(args);
}
