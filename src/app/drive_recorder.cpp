#include "app/drive_recorder.h"

#include <ctime>
#include <filesystem>

#include "app/recorded_play.h"
#include "core/command_line.h"
#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {

std::unique_ptr<DriveRecorder> DriveRecorder::start(const Game& game, const std::string& path, std::uint64_t levelHash)
{
    RecordingHeader header;
    header.programVersion = programVersion();
    header.levelHash = levelHash;
    header.startTime = static_cast<std::int64_t>(std::time(nullptr));
    header.carText = game.carSource.text;
    header.start = captureKeyframe(game);
    std::string error;
    std::unique_ptr<RecordingWriter> writer = RecordingWriter::start(path, header, error);
    if (!writer) {
        diagnose(error + ": the drive is not recorded");
        return nullptr;
    }
    return std::unique_ptr<DriveRecorder>(new DriveRecorder(std::move(writer)));
}

void DriveRecorder::noteCarReloaded(const std::string& carText)
{
    pendingEvents |= kEventCarReloaded;
    writer->addCarText(carText);
}

void DriveRecorder::recordFrame(const Game& game, float frameTime)
{
    const RecordedFrame frame{frameTime, game.keyboardInput.drivingKeysDown(), game.padInput.lastFrame(),
                              pendingEvents};
    pendingEvents = 0;
    writer->addFrame(frame, captureKeyframe(game));
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
