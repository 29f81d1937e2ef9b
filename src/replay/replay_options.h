// The replay tool's command line: which drive to replay (a recorded drive, a
// key script or a random one), for how many frames, with which frame times, and what to write
// (telemetry CSV, screenshots, a video). See replayUsage for every option. Parsed with
// CLI11 (core/command_line.h): "--frames 10" and "--frames=10" both work.
//
// Shortcoming: seconds are decimal numbers or fractions "A/B" only.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace torvane {

struct ReplayOptions {
    std::string recordingFile;        // empty: no recorded drive (the keys come from --keys or --random-keys)
    std::string exportKeysFile;       // empty: none; else the recording written as a key script
    std::string keysFile;             // empty: no key script
    bool randomKeys = false;          // a random script from seed instead
    std::optional<int> frames;        // unset: the script's last frame
    float minimumFrameTime = 1.0f / 60.0f; // seconds
    float maximumFrameTime = 1.0f / 60.0f; // seconds; equal to the minimum for a fixed frame time
    std::uint64_t seed = 1;
    std::string recordFile;           // empty: none; else the scripted or random drive recorded there
    std::string csvFile;              // empty: no telemetry; "-": standard output
    std::string pngPattern;           // empty: no screenshots
    std::string wavFile;              // empty: no sound; else the drive's sound rendered offline
    int pngEvery = 1;                 // frames between screenshots
    std::string videoFile;            // empty: no video
    int videoWidth = 0;               // pixels; 0: the picture's own size
    int videoHeight = 0;              // pixels; 0: the picture's own size
    std::string dataDir;              // empty: the game's own data folder
    std::string carFile;              // empty: the data folder's cars/car.toml
    bool window = false;              // a real window instead of SDL's offscreen driver
    bool noRender = false;            // the recording device instead of OpenGL
    bool checkFinite = false;
    bool uncappedFrameTimes = false;  // step by frame times beyond the game's cap, to find where the physics breaks
    bool help = false;
    bool version = false;
};

// Options, or the first thing wrong with the command line (error then set).
struct ParsedReplayOptions {
    ReplayOptions options;
    std::string error;
};

// args are the words after the program name.
ParsedReplayOptions parseReplayOptions(std::span<const std::string_view> args);

// The --help text.
std::string replayUsage();

} // namespace torvane
