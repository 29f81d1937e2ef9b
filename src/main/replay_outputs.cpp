#include "main/replay_outputs.h"

#include <algorithm>

#include "app/game.h"
#include "assets/png_encode.h"
#include "core/message_sink.h"
#include "render/gl/gl_device.h"
#include "replay/frame_path.h"
#include "replay/telemetry.h"

namespace torvane {

void reportUnwritable(const std::string& path)
{
    diagnose(path + ": cannot be written");
}

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

bool Outputs::commit()
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
    if (!options.recordFile.empty()) {
        if (namesAnInput(options.recordFile, outputs.inputs)) {
            diagnose(options.recordFile + ": is an input of the run, not overwritten");
            return kBadInput;
        }
        outputs.recordPath = std::filesystem::absolute(options.recordFile).string();
    }
    return kDone;
}

bool writeRow(Outputs& outputs, const std::string& row)
{
    return outputs.csv == nullptr || std::fputs(row.c_str(), outputs.csv) >= 0;
}

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

int recordFrame(Outputs& outputs, const ReplayOptions& options, const Game& game, int frame, float dt,
                const std::bitset<kKeyCount>& keys)
{
    if (outputs.csv != nullptr && !writeRow(outputs, telemetryRow(frame, dt, keys, game.playerCar, game.camera))) {
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

} // namespace torvane
