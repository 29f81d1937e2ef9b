// The replay tool's exit statuses and its outputs: the telemetry CSV, the
// screenshots and the video, each written to a temporary file that is renamed
// into place only when the run ends well (or stops where a fault shows); the
// drive's recording, renamed into place when the drive ends as the game's are;
// and the check that no output overwrites an input of the run.
#pragma once

#include <bitset>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/command_line.h"
#include "input/key_codes.h"
#include "main/replay_video.h"
#include "replay/replay_options.h"

namespace torvane {

struct Game;
class GlDevice;

constexpr int kDone = 0;
constexpr int kOutputFailed = 1;
constexpr int kBadInput = kBadCommandLine;
constexpr int kNotFinite = 3;
constexpr int kNoDevice = 4;
constexpr int kStateDiffers = 6;
constexpr int kRecordingCut = 7;

// Names path on stderr as a file that cannot be written.
void reportUnwritable(const std::string& path);

// The files a run reads, which no output may name.
struct Inputs {
    std::filesystem::path keysFile; // absolute; empty: none (or the recording)
    std::filesystem::path carFile;  // absolute; empty: the data folder's own
    std::filesystem::path dataDir;  // absolute and normal
};

// Whether writing to path would overwrite an input: the key script, the car
// file, or anything in the data folder.
bool namesAnInput(const std::filesystem::path& path, const Inputs& inputs);

// The run's outputs, each a temporary file until the run ends well.
struct Outputs {
    std::optional<AtomicFile> csvFile;
    std::FILE* csv = nullptr; // stdout or csvFile's temporary
    std::string csvPath;
    std::string pngPattern; // absolute, so the data folder does not move it
    int pngEvery = 1;
    std::string recordPath;              // absolute; empty: the drive is not recorded
    std::vector<AtomicFile> screenshots; // finished, waiting for the end of the run
    std::optional<VideoOutput> video;
    std::optional<AtomicFile> wavFile;    // the drive's sound; finished by the replay's sound
    std::string wavPath;
    Inputs inputs;

    // Renames every output into place; false after naming the first that failed.
    bool commit();
};

// Opens the outputs relative to the current folder; the exit status, after naming what failed.
int openOutputs(const ReplayOptions& options, Outputs& outputs);

// Writes one CSV row; false when the file refused it.
bool writeRow(Outputs& outputs, const std::string& row);

// After frame, of dt seconds: its screenshot when one is due (to a temporary
// file kept in outputs) and the video's picture, from one read of the back
// buffer; the exit status.
int writePictures(Outputs& outputs, const GlDevice& device, int frame, float dt);

// Writes row frame and checks it; the exit status when the run must stop, else kDone.
int recordFrame(Outputs& outputs, const ReplayOptions& options, const Game& game, int frame, float dt,
                const std::bitset<kKeyCount>& keys);

} // namespace torvane
