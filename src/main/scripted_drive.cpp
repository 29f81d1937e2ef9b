#include "main/scripted_drive.h"

#include <memory>

#include "app/car_loading.h"
#include "app/drive_recorder.h"
#include "main/replay_sound.h"
#include "main/replay_stage.h"
#include "recording/level_identity.h"
#include "replay/telemetry.h"

namespace torvane {

int runScriptedDrive(const ReplayOptions& options, const std::string& carFile, KeySource& keySource, int frames,
                     Outputs& outputs)
{
    auto game = std::make_unique<Game>();
    game->carSource.path = carFile;
    Stage stage;
    if (options.noRender) {
        startHeadless(*game, stage, options);
    } else if (!startDesktopStage(*game, stage, options.window)) {
        return kNoDevice;
    }
    if (!game->carSource.fromFile) {
        return kBadInput; // the start-up named the file's errors
    }

    const std::string carName = options.carFile.empty() ? kCarFile : options.carFile;
    ReplaySound sound;
    if (const int started = sound.start(*game, outputs); started != kDone) {
        return started;
    }
    if (!writeRow(outputs, telemetryHeader(carName, game->carSource.hash))) {
        reportUnwritable(outputs.csvPath);
        return kOutputFailed;
    }
    std::unique_ptr<DriveRecorder> recorder;
    if (!outputs.recordPath.empty()) {
        recorder = DriveRecorder::start(*game, outputs.recordPath, levelDataHash());
        if (!recorder) {
            return kOutputFailed;
        }
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
        game->keyboardInput.setKeysDown(keys);
        if (recorder) {
            recorder->waitForRoom();
        }
        const FrameActions actions = runFrame(*game, dt);
        quit = actions.quitRequested || quit;
        if (recorder) {
            if (actions.simulationSkipped) {
                recorder->noteSimulationSkipped();
            }
            recorder->recordFrame(*game, dt);
        }
        if (stage.headless) {
            stage.headless->clearLog();
        }
        status = recordFrame(outputs, options, *game, frame, dt, keys);
        if (status == kDone) {
            status = sound.afterFrame(dt);
        }
        if (status == kDone && stage.desktop) {
            status = writePictures(outputs, *stage.desktop->device, frame, dt);
        }
    }
    game->device = nullptr;
    if (const int finished = sound.finish(); status == kDone) {
        status = finished;
    }
    if (recorder && !recorder->finish()) {
        reportUnwritable(outputs.recordPath);
        return status == kDone ? kOutputFailed : status;
    }
    return status;
}

} // namespace torvane
