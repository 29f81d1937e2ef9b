#include "app/drive_recorder.h"

#include <ctime>
#include <filesystem>

#include "app/recorded_play.h"
#include "carfile/car_file_writing.h"
#include "core/command_line.h"
#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {

std::unique_ptr<DriveRecorder> DriveRecorder::start(const Game& game, const std::string& path, std::uint64_t levelHash,
                                                    RecordingName naming)
{
    RecordingHeader header;
    header.programVersion = programVersion();
    header.levelHash = levelHash;
    header.startTime = static_cast<std::int64_t>(std::time(nullptr));
    // The model as the car has it, which the setup panel may have changed since its file was read.
    header.carText = carFileText(game.playerCar.getParameters());
    header.start = captureKeyframe(game);
    std::string error;
    std::unique_ptr<RecordingWriter> writer = RecordingWriter::start(path, header, error, naming);
    if (!writer) {
        diagnose(error + ": the drive is not recorded");
        return nullptr;
    }
    return std::unique_ptr<DriveRecorder>(new DriveRecorder(std::move(writer), game.playerCar.getParameters()));
}

void DriveRecorder::noteCarReloaded(const Game& game)
{
    pendingEvents |= kEventCarReloaded;
    writer->addCarText(game.carSource.text);
    recordedModel = game.playerCar.getParameters();
}

void DriveRecorder::recordFrame(const Game& game, float frameTime)
{
    const RecordedFrame frame{frameTime, game.keyboardInput.drivingKeysDown(), game.padInput.lastFrame(),
                              pendingEvents};
    pendingEvents = 0;
    writer->addFrame(frame, captureKeyframe(game));
    // A model changed during the frame (the setup panel's sliders act after the
    // physics) first acts in the next frame: recorded as a car text taken then.
    if (game.playerCar.getParameters() != recordedModel) {
        recordedModel = game.playerCar.getParameters();
        pendingEvents |= kEventCarReloaded;
        writer->addCarText(carFileText(recordedModel));
    }
}

std::string DriveRecorder::keep(const std::string& keptFolder)
{
    if (!kept) {
        kept = true;
        const std::filesystem::path name = std::filesystem::path(writer->finalPath()).filename();
        keptPath = keptFolder.empty() ? writer->finalPath() : (std::filesystem::path(keptFolder) / name).string();
        if (!keptFolder.empty()) {
            writer->keepAs(keptPath);
        }
    }
    return recordingKeptMessage(keptPath);
}

std::string DriveRecorder::takeStopNote()
{
    switch (writer->takeFault()) {
    case RecordingFault::None:
        return {};
    case RecordingFault::DiskFull:
        return std::string(kRecordingDiskFull);
    case RecordingFault::WriteFailed:
    case RecordingFault::TooLong:
    case RecordingFault::Overrun:
        break;
    }
    return recordingStoppedMessage(writer->finalPath());
}

} // namespace torvane
