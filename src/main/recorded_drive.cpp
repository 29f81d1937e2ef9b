#include "main/recorded_drive.h"

#include <cstdio>
#include <memory>

#include "app/car_loading.h"
#include "app/recorded_play.h"
#include "carfile/car_file.h"
#include "core/atomic_file.h"
#include "core/content_hash.h"
#include "core/message_sink.h"
#include "main/replay_stage.h"
#include "main/replay_sound.h"
#include "replay/recording_keys.h"
#include "replay/telemetry.h"

namespace torvane {
namespace {

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
    if (!writeFileAtomically(path, *text)) {
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

} // namespace

int runRecordedDrive(const ReplayOptions& options, const Recording& recording, const std::string& carFile,
                     Outputs& outputs)
{
    auto game = std::make_unique<Game>();
    Stage stage; // the built-in car at start-up; the recording's car comes next
    if (options.noRender) {
        startHeadless(*game, stage, options);
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
    ReplaySound sound;
    if (const int started = sound.start(*game, outputs); started != kDone) {
        return started;
    }

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
        if (status == kDone) {
            status = sound.afterFrame(recorded.frameTime);
        }
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
        if (status == kDone && stage.desktop) {
            status = writePictures(outputs, *stage.desktop->device, static_cast<int>(frame), recorded.frameTime);
        }
    }
    game->device = nullptr;
    if (const int finished = sound.finish(); status == kDone) {
        status = finished;
    }
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

} // namespace torvane
