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
    if (wavFile && !wavFile->commit()) {
        reportUnwritable(wavPath);
        return false;
    }
    for (AtomicFile& shot : screenshots) {
        if (!shot.commit()) {
            reportUnwritable(shot.targetPath());
            return false;
        }
    }
    return !video || commitVideo(*video);
}

namespace {

// Opens the temporary of the output path into file, unless path names an input; the exit status.
int openOutputFile(const std::string& path, const Inputs& inputs, std::optional<AtomicFile>& file)
{
    if (namesAnInput(path, inputs)) {
        diagnose(path + ": is an input of the run, not overwritten");
        return kBadInput;
    }
    file.emplace(std::filesystem::absolute(path).string());
    if (!file->isOpen()) {
        reportUnwritable(path);
        return kOutputFailed;
    }
    return kDone;
}

} // namespace

int openOutputs(const ReplayOptions& options, Outputs& outputs)
{
    outputs.csvPath = options.csvFile;
    outputs.wavPath = options.wavFile;
    if (options.csvFile == "-") {
        outputs.csv = stdout;
    } else if (!options.csvFile.empty()) {
        if (const int opened = openOutputFile(options.csvFile, outputs.inputs, outputs.csvFile); opened != kDone) {
            return opened;
        }
        outputs.csv = outputs.csvFile->file();
    }
    if (!options.wavFile.empty()) {
        if (const int opened = openOutputFile(options.wavFile, outputs.inputs, outputs.wavFile); opened != kDone) {
            return opened;
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
    return openVideo(options, outputs.inputs, outputs.video);
}

bool writeRow(Outputs& outputs, const std::string& row)
{
    return outputs.csv == nullptr || std::fputs(row.c_str(), outputs.csv) >= 0;
}

int writePictures(Outputs& outputs, const GlDevice& device, int frame, float dt)
{
    const bool screenshotDue = !outputs.pngPattern.empty() && frame % outputs.pngEvery == 0;
    if (!screenshotDue && !outputs.video) {
        return kDone;
    }
    Image image{device.backBufferWidth(), device.backBufferHeight(), device.readBackBuffer()};
    if (screenshotDue) {
        const std::string path = formatFramePath(outputs.pngPattern, frame).value_or("");
        if (namesAnInput(path, outputs.inputs)) {
            diagnose(path + ": is an input of the run, not overwritten");
            return kBadInput;
        }
        AtomicFile file(path);
        if (!writePng(file.file(), image) || !file.finish()) {
            reportUnwritable(path);
            return kOutputFailed;
        }
        outputs.screenshots.push_back(std::move(file));
    }
    return outputs.video ? addVideoPicture(*outputs.video, image.width, image.height, image.rgba, dt) : kDone;
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
