#include "app/ghost.h"

#include "app/recorded_play.h"

namespace torvane {

std::unique_ptr<Ghost> Ghost::race(Game& game, Recording recording)
{
    std::unique_ptr<Ghost> ghost(new Ghost(std::move(recording)));
    ghost->drive = std::make_unique<Game>();
    Game& drive = *ghost->drive;
    drive.cityMap = game.cityMap;
    drive.device = &ghost->silent;
    if (!startRecordedDrive(drive, ghost->recording)) {
        return nullptr;
    }
    game.ghostCar = game.playerCar;
    return ghost;
}

void Ghost::restart()
{
    startRecordedDrive(*drive, recording);
    played = 0;
    driveSeconds = 0.0;
    ghostSeconds = 0.0;
}

void Ghost::follow(Game& game, float frameTime)
{
    if (!game.play.paused) {
        driveSeconds += static_cast<double>(frameTime);
    }
    const auto count = static_cast<std::uint32_t>(recording.frames.size());
    for (int frame = 0; frame < kMostGhostFramesPerFrame && played < count && ghostSeconds < driveSeconds; ++frame) {
        ++played;
        playRecordedFrame(*drive, recording, played);
        if (!drive->play.paused) {
            ghostSeconds += static_cast<double>(recording.frames[played - 1].frameTime);
        }
    }
    const Car& car = drive->playerCar;
    game.ghostCar.setPosition(car.getPosition());
    game.ghostCar.setHeading(car.getHeading());
    const Vector3 scale = car.getScale();
    game.ghostCar.setScale(scale.x, scale.y, scale.z);
}

} // namespace torvane
