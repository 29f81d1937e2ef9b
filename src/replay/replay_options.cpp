#include "replay/replay_options.h"

#include <charconv>
#include <cmath>

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

class Arguments {
public:
    explicit Arguments(std::span<const std::string_view> words) : args(words) {}

    bool done() const { return next >= args.size(); }
    std::string_view take() { return args[next++]; }
    // The value after option; sets error when there is none.
    std::string_view value(std::string_view option, std::string& error)
    {
        if (done()) {
            error = std::string(option) + " needs a value";
            return {};
        }
        return take();
    }

private:
    std::span<const std::string_view> args;
    std::size_t next = 0;
};

std::string badValue(std::string_view option, std::string_view value, std::string_view expected)
{
    return std::string(option) + " " + std::string(value) + ": expected " + std::string(expected);
}

// The field of an option that takes no value; nullptr for any other option.
bool* flagOption(std::string_view option, ReplayOptions& options)
{
    return option == "--help"           ? &options.help
           : option == "--window"       ? &options.window
           : option == "--no-render"    ? &options.noRender
           : option == "--check-finite" ? &options.checkFinite
           : option == "--random-keys"  ? &options.randomKeys
           : option == "--no-dt-cap"    ? &options.uncappedFrameTimes
                                        : nullptr;
}

// The field of an option that takes a file or folder; nullptr for any other option.
std::string* pathOption(std::string_view option, ReplayOptions& options)
{
    return option == "--keys"   ? &options.keysFile
           : option == "--csv"  ? &options.csvFile
           : option == "--png"  ? &options.pngPattern
           : option == "--data" ? &options.dataDir
                                : nullptr;
}

// Applies one option (and its values); returns the error, empty when sound.
std::string applyOption(std::string_view option, Arguments& args, ReplayOptions& options, bool& fixedTime,
                        bool& rangeTime)
{
    std::string error;
    if (bool* flag = flagOption(option, options)) {
        *flag = true;
    } else if (std::string* path = pathOption(option, options)) {
        *path = args.value(option, error);
        if (error.empty() && path->empty()) {
            error = std::string(option) + " needs a non-empty value";
        }
    } else if (option == "--frames" || option == "--png-every") {
        const std::string_view text = args.value(option, error);
        const int least = option == "--frames" ? 0 : 1;
        const std::optional<int> count = parseWhole<int>(text);
        if (error.empty() && (!count || *count < least)) {
            error = badValue(option, text, "a whole number from " + std::to_string(least));
        } else if (count && option == "--frames") {
            options.frames = *count;
        } else if (count) {
            options.pngEvery = *count;
        }
    } else if (option == "--seed") {
        const std::string_view text = args.value(option, error);
        const std::optional<std::uint64_t> seed = parseWhole<std::uint64_t>(text);
        if (error.empty() && !seed) {
            error = badValue(option, text, "a whole number from 0 to 18446744073709551615");
        }
        options.seed = seed.value_or(0);
    } else if (option == "--dt" || option == "--dt-range") {
        const bool range = option == "--dt-range";
        const std::string_view minimumText = args.value(option, error);
        const std::string_view maximumText = range ? args.value(option, error) : minimumText;
        const std::optional<float> minimum = parseSeconds(minimumText);
        const std::optional<float> maximum = parseSeconds(maximumText);
        if (error.empty() && (!minimum || !maximum || *minimum > *maximum)) {
            const std::string given = range ? std::string(minimumText) + " " + std::string(maximumText)
                                            : std::string(minimumText);
            error = badValue(option, given, "seconds such as 0.02 or 1/60, not negative, the smaller first");
        } else if (minimum && maximum) {
            options.minimumFrameTime = *minimum;
            options.maximumFrameTime = *maximum;
        }
        (range ? rangeTime : fixedTime) = true;
    } else {
        error = "unknown option '" + std::string(option) + "' (try --help)";
    }
    return error;
}

// The combinations of sound options that still make no sense.
std::string checkCombination(const ReplayOptions& options, bool fixedTime, bool rangeTime)
{
    if (options.help) {
        return {};
    }
    if (fixedTime && rangeTime) {
        return "--dt and --dt-range exclude each other";
    }
    if (options.randomKeys && !options.keysFile.empty()) {
        return "--keys and --random-keys exclude each other";
    }
    if (options.keysFile.empty() && !options.frames) {
        return "--frames N is needed without --keys";
    }
    if (options.noRender && options.window) {
        return "--no-render and --window exclude each other";
    }
    if (!options.pngPattern.empty() && options.noRender) {
        return "--png needs rendering: drop --no-render";
    }
    if (!options.pngPattern.empty() && !formatFramePath(options.pngPattern, 0)) {
        return "--png " + options.pngPattern + ": expected one %d, %6d or %06d for the frame number (%% for a %)";
    }
    return {};
}

} // namespace

ParsedReplayOptions parseReplayOptions(std::span<const std::string_view> words)
{
    ParsedReplayOptions result;
    Arguments args(words);
    bool fixedTime = false;
    bool rangeTime = false;
    while (!args.done() && result.error.empty()) {
        result.error = applyOption(args.take(), args, result.options, fixedTime, rangeTime);
    }
    if (result.error.empty()) {
        result.error = checkCombination(result.options, fixedTime, rangeTime);
    }
    return result;
}

std::string replayUsage()
{
    return R"(Usage: torvane-replay [options]
Replays a drive through the game's own start-up and frames, with keys read from
a script instead of the keyboard and a fixed frame time instead of the clock, on
SDL's offscreen driver. The level is read from the data folder.

  --keys FILE        key script: lines "FIRST LAST KEY..." hold the keys from frame
                     FIRST to LAST (from 1); '#' comments; keys Left Right Up Down
                     RCtrl A Q Escape KP8 KP2 F1..F8 V, and P Pause Backspace F10
                     F11 F12 Return LAlt RAlt. Escape ends the run after its frame,
                     P pauses and Backspace resets the car, as in the game.
  --random-keys      a random key script drawn from --seed (never Escape)
  --frames N         frames to run (default: the script's last frame)
  --dt SECONDS       frame time, e.g. 0.02 or 1/60 (default 1/60)
  --dt-range MIN MAX frame times drawn uniformly from [MIN, MAX] by --seed
                     (frame times over 1/20 s are simulated as 1/20 s, as in the game)
  --no-dt-cap        step the physics by frame times over 1/20 s as given, to find
                     where it breaks
  --seed N           seed of --random-keys and --dt-range (default 1)
  --csv FILE         telemetry: row 0 after start-up, then one row per frame ("-": stdout)
  --png PATTERN      screenshot after the frame, PATTERN with %d or %06d for its number
  --png-every K      a screenshot every K frames (default 1)
  --data DIR         the folder holding the level (default: the game/ folder of the
                     source tree this program was built from)
  --window           a real window instead of SDL's offscreen driver
  --no-render        the recording device instead of OpenGL: same start-up, frames,
                     physics and camera, nothing drawn (meshes load empty), faster
  --check-finite     stop with status 3 at the first frame whose state is not finite
  --help             this text

Exit status: 0 done; 1 an output file could not be written; 2 a bad option, key
script or data folder; 3 a state value not finite (--check-finite); 4 no
OpenGL device could be started (the offscreen driver or the display is missing).
)";
}

} // namespace torvane
