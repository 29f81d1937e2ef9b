#include "replay/replay_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "core/command_line.h"
#include "recording/recording.h"
#include "replay/frame_path.h"

namespace torvane {
namespace {

// A whole number of digits only (no sign, no spaces) that fits Number.
template <typename Number>
std::optional<Number> parseWhole(std::string_view word)
{
    Number value{};
    const char* end = word.data() + word.size();
    if (word.empty() || word.front() < '0' || word.front() > '9') {
        return std::nullopt;
    }
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseDecimal(std::string_view word)
{
    double value = 0.0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (word.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Seconds as "0.0166" or "1/60": finite, not negative, and a float.
std::optional<float> parseSeconds(std::string_view word)
{
    const std::size_t slash = word.find('/');
    std::optional<double> value = parseDecimal(word.substr(0, slash));
    if (value && slash != std::string_view::npos) {
        const std::optional<double> divisor = parseDecimal(word.substr(slash + 1));
        value = (divisor && *divisor > 0.0) ? std::optional<double>(*value / *divisor) : std::nullopt;
    }
    if (!value || *value < 0.0 || !std::isfinite(static_cast<float>(*value))) {
        return std::nullopt;
    }
    return static_cast<float>(*value);
}

std::string badValue(std::string_view option, std::string_view value, std::string_view expected)
{
    return std::string(option) + " " + std::string(value) + ": expected " + std::string(expected);
}

// The words of the options whose values are checked after CLI11 has split the line.
struct ValueWords {
    std::string frames;
    std::string pngEvery;
    std::string videoSize;
    std::string seed;
    std::string dt;
    std::vector<std::string> dtRange;
};

// Declares every option on app: flags and paths straight into options, the rest into words.
void declareOptions(CLI::App& app, ReplayOptions& options, ValueWords& words)
{
    app.description("Replays a drive through the game's own start-up and frames, with keys read from\n"
                    "a script instead of the keyboard and a fixed frame time instead of the clock, on\n"
                    "SDL's offscreen driver. The level is read from the game's data folder.\n");
    app.set_help_flag();
    app.add_option("--replay", options.recordingFile,
                   "a recorded drive (the game records every drive): re-simulated through the same start-up "
                   "and frames with every state hash checked; prints \"N frames, identical\" or names the "
                   "first frame whose state differs. With --car, the recorded inputs drive that car instead "
                   "(the states then differ and are not checked).")
        ->option_text("FILE");
    app.add_option("--export-keys", options.exportKeysFile,
                   "with --replay: also write the recording as a key script, when its frame times are "
                   "constant (replay it with that --dt) and it holds no pad input, pause on focus loss "
                   "or car reload")
        ->option_text("FILE");
    app.add_option("--keys", options.keysFile,
                   "key script: lines \"FIRST LAST KEY...\" hold the keys from frame FIRST to LAST "
                   "(from 1); '#' comments; keys Left Right Up Down RCtrl A Q Escape KP8 KP2 F1..F8 V, "
                   "and P Pause Backspace F10 F11 F12 Return LAlt RAlt S LCtrl M. Escape ends the run after its "
                   "frame, P pauses and Backspace resets the car, as in the game.")
        ->option_text("FILE");
    app.add_flag("--random-keys", options.randomKeys, "a random key script drawn from --seed (never Escape)");
    app.add_option("--frames", words.frames, "frames to run (default: the script's last frame)")->option_text("N");
    app.add_option("--dt", words.dt, "frame time, e.g. 0.02 or 1/60 (default 1/60)")->option_text("SECONDS");
    app.add_option("--dt-range", words.dtRange,
                   "frame times drawn uniformly from [MIN, MAX] by --seed (frame times over 1/40 s are "
                   "simulated as 1/40 s, as in the game)")
        ->expected(2)
        ->option_text("MIN MAX");
    app.add_option("--seed", words.seed, "seed of --random-keys and --dt-range (default 1)")->option_text("N");
    app.add_option("--record", options.recordFile,
                   "with --keys or --random-keys: record the drive into FILE as the game records one "
                   "(check it with --replay FILE); written as FILE.part until the drive ends")
        ->option_text("FILE");
    app.add_option("--csv", options.csvFile, "telemetry: row 0 after start-up, then one row per frame (\"-\": stdout)")
        ->option_text("FILE");
    app.add_option("--png", options.pngPattern, "screenshot after the frame, PATTERN with %d or %06d for its number")
        ->option_text("PATTERN");
    app.add_option("--wav", options.wavFile,
                   "the drive's sound (engine, tyres, walls, heard from the camera), rendered offline "
                   "into a 16-bit stereo WAV at 44.1 kHz: the same drive gives the same samples")
        ->option_text("FILE");
    app.add_option("--png-every", words.pngEvery, "a screenshot every K frames (default 1)")->option_text("K");
    app.add_option("--video", options.videoFile,
                   "a video of the rendered frames at the drive's own frame times: H.264 in .mp4 or .mkv "
                   "(VP9 where H.264 is missing), VP9 in .webm")
        ->option_text("FILE");
    app.add_option("--video-size", words.videoSize, "the video's size, even numbers (default: the picture's)")
        ->option_text("WxH");
    app.add_option("--data", options.dataDir, kDataOptionHelp)
        ->option_text("DIR");
    app.add_option("--car", options.carFile, "the car file (default: the data folder's cars/car.toml)")
        ->option_text("FILE");
    app.add_flag("--window", options.window, "a real window instead of SDL's offscreen driver");
    app.add_flag("--no-render", options.noRender,
                 "the recording device instead of OpenGL: same start-up, frames, physics and camera, "
                 "nothing drawn (meshes load empty), faster");
    app.add_flag("--no-dt-cap", options.uncappedFrameTimes,
                 "step the physics by frame times over 1/40 s as given, to find where it breaks");
    app.add_flag("--check-finite", options.checkFinite,
                 "stop with status 3 at the first frame whose state is not finite");
    app.add_flag("--version", options.version, "the version, and nothing else");
    app.add_flag("--help", options.help, "this text");
    app.footer("Outputs are written to temporary files beside them and renamed into place when\n"
               "the run ends with status 0, 3, 6 or 7; otherwise the files named keep what they held.\n"
               "An output that names an input (the key script, the car file, or a file in the data\n"
               "folder) is refused.\n\n"
               "Exit status: 0 done (a recorded drive: every state hash identical); 1 an output\n"
               "file could not be written; 2 a bad option, key script, car file, recording (not a\n"
               "recording, another format, another data folder's, damaged header) or data folder,\n"
               "or an output naming an input; 3 a state value not finite (--check-finite); 4 no\n"
               "OpenGL device could be started (the offscreen driver or the display is missing),\n"
               "or with --wav no OpenAL loopback device or no readable sounds;\n"
               "5 out of memory; 6 a recorded drive's state differs from the recording's (the\n"
               "first such frame is named); 7 a recorded drive cut short or damaged part way:\n"
               "replayed, identical, up to its last complete frame, which is named.");
}

// Reads a whole-number option given as text into count; the mistake, empty when sound.
std::string readCount(const CLI::App& app, std::string_view option, const std::string& text, int least, int& count)
{
    if (app.count(std::string(option)) == 0) {
        return {};
    }
    const std::optional<int> value = parseWhole<int>(text);
    if (!value || *value < least) {
        return badValue(option, text, "a whole number from " + std::to_string(least));
    }
    count = *value;
    return {};
}

// Reads --video-size WxH: even sizes from 16 to 8192; the mistake, empty when sound.
std::string readVideoSize(const CLI::App& app, const std::string& text, ReplayOptions& options)
{
    if (app.count("--video-size") == 0) {
        return {};
    }
    const std::size_t cross = text.find('x');
    const std::optional<int> width = parseWhole<int>(std::string_view(text).substr(0, cross));
    const std::optional<int> height =
        cross == std::string::npos ? std::nullopt : parseWhole<int>(std::string_view(text).substr(cross + 1));
    const auto fits = [](std::optional<int> size) { return size && *size >= 16 && *size <= 8192 && *size % 2 == 0; };
    if (!fits(width) || !fits(height)) {
        return "--video-size " + text + " : attendu LARGEURxHAUTEUR, nombres pairs de 16 à 8192, par exemple 1280x720";
    }
    options.videoWidth = *width;
    options.videoHeight = *height;
    return {};
}

// Reads the frame times (--dt or --dt-range); the mistake, empty when sound.
std::string readFrameTimes(const CLI::App& app, const ValueWords& words, ReplayOptions& options)
{
    const bool range = app.count("--dt-range") != 0;
    if (!range && app.count("--dt") == 0) {
        return {};
    }
    const std::string option = range ? "--dt-range" : "--dt";
    const std::string& minimumText = range ? words.dtRange.at(0) : words.dt;
    const std::string& maximumText = range ? words.dtRange.at(1) : words.dt;
    const std::optional<float> minimum = parseSeconds(minimumText);
    const std::optional<float> maximum = parseSeconds(maximumText);
    if (!minimum || !maximum || *minimum > *maximum) {
        return badValue(option, range ? minimumText + " " + maximumText : minimumText,
                        "seconds such as 0.02 or 1/60, not negative, the smaller first");
    }
    options.minimumFrameTime = *minimum;
    options.maximumFrameTime = *maximum;
    return {};
}

// Turns the checked words into options; the first mistake, empty when all are sound.
std::string readValues(const CLI::App& app, const ValueWords& words, ReplayOptions& options)
{
    int frames = 0;
    std::string error = emptyValueMistake(app, {"--replay", "--export-keys", "--keys", "--record", "--csv", "--png",
                                                "--video", "--wav", "--data", "--car"});
    if (error.empty()) {
        error = readCount(app, "--frames", words.frames, 0, frames);
    }
    if (error.empty() && app.count("--frames") != 0) {
        options.frames = frames;
    }
    if (error.empty()) {
        error = readCount(app, "--png-every", words.pngEvery, 1, options.pngEvery);
    }
    if (error.empty()) {
        error = readVideoSize(app, words.videoSize, options);
    }
    if (error.empty() && app.count("--seed") != 0) {
        const std::optional<std::uint64_t> seed = parseWhole<std::uint64_t>(words.seed);
        if (!seed) {
            return badValue("--seed", words.seed, "a whole number from 0 to 18446744073709551615");
        }
        options.seed = *seed;
    }
    if (error.empty() && app.count("--dt") != 0 && app.count("--dt-range") != 0) {
        return "--dt and --dt-range exclude each other";
    }
    return error.empty() ? readFrameTimes(app, words, options) : error;
}

// What a recorded drive brings itself, and so cannot be given beside --replay.
std::string checkRecordingCombination(const CLI::App& app, const ReplayOptions& options)
{
    if (options.recordingFile.empty()) {
        return options.exportKeysFile.empty() ? std::string() : "--export-keys needs --replay";
    }
    for (const char* option :
         {"--keys", "--random-keys", "--frames", "--dt", "--dt-range", "--seed", "--no-dt-cap", "--record"}) {
        if (app.count(option) != 0) {
            return std::string("--replay and ") + option +
                   " exclude each other: the recording holds its keys and frame times";
        }
    }
    return {};
}

// The combinations of sound options that still make no sense.
std::string checkCombination(const ReplayOptions& options)
{
    if (options.randomKeys && !options.keysFile.empty()) {
        return "--keys and --random-keys exclude each other";
    }
    if (options.recordingFile.empty() && options.keysFile.empty() && !options.frames) {
        return "--frames N is needed without --keys";
    }
    if (!options.recordFile.empty() && options.frames && *options.frames > static_cast<int>(kMaxRecordedFrames)) {
        return "--record: a recording holds at most " + std::to_string(kMaxRecordedFrames) + " frames";
    }
    if (options.noRender && options.window) {
        return "--no-render and --window exclude each other";
    }
    if (!options.pngPattern.empty() && options.noRender) {
        return "--png needs rendering: drop --no-render";
    }
    if (!options.videoFile.empty() && options.noRender) {
        return "--video demande le rendu : retirez --no-render";
    }
    // Two outputs of one run naming one file would leave only the one renamed last.
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--video", &options.videoFile},
        {"--wav", &options.wavFile},
        {"--csv", &options.csvFile},
        {"--record", &options.recordFile}};
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
            if (!outputs[i].second->empty() && *outputs[i].second == *outputs[j].second) {
                return std::string(outputs[i].first) + " et " + outputs[j].first + " nomment le même fichier";
            }
        }
    }
    if (options.videoWidth != 0 && options.videoFile.empty()) {
        return "--video-size va avec --video";
    }
    if (!options.pngPattern.empty() && !formatFramePath(options.pngPattern, 0)) {
        return "--png " + options.pngPattern + ": expected one %d, %6d or %06d for the frame number (%% for a %)";
    }
    return {};
}

} // namespace

ParsedReplayOptions parseReplayOptions(std::span<const std::string_view> args)
{
    ParsedReplayOptions result;
    CLI::App app("", "torvane-replay");
    ValueWords words;
    declareOptions(app, result.options, words);
    result.error = parseCommandLine(app, args);
    if (result.error.empty() && !result.options.help && !result.options.version) {
        result.error = readValues(app, words, result.options);
        if (result.error.empty()) {
            result.error = checkRecordingCombination(app, result.options);
        }
        if (result.error.empty()) {
            result.error = checkCombination(result.options);
        }
    }
    return result;
}

std::string replayUsage()
{
    CLI::App app("", "torvane-replay");
    ReplayOptions options;
    ValueWords words;
    declareOptions(app, options, words);
    return app.help();
}

} // namespace torvane
