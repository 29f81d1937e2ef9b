#include "app/recorded_play.h"

#include "core/message_sink.h"

namespace torvane {

Keyframe captureKeyframe(const Game& game)
{
    return {captureCarState(game.playerCar), game.keyboardInput.previousDrivingKeys(), game.padInput.getHold(),
            game.play.paused, game.camera.getMode()};
}

void restoreKeyframe(Game& game, const Keyframe& state)
{
    restoreCarState(game.playerCar, state.car);
    game.keyboardInput.setPreviousDrivingKeys(state.previousKeys);
    game.padInput.setHold(state.pads);
    game.play.paused = state.paused;
    game.camera.setMode(state.cameraMode);
}

bool startRecordedDrive(Game& game, const Recording& recording)
{
    if (!takeCarText(game, recording.header.carText, "the recording's car file")) {
        return false;
    }
    restoreKeyframe(game, recording.header.start);
    return true;
}

std::uint32_t seekRecordedDrive(Game& game, const Recording& recording, std::uint32_t frame)
{
    const FrameKeyframe* keyframe = recording.keyframeAtOrBefore(frame);
    const std::uint32_t from = keyframe != nullptr ? keyframe->frame : 0;
    // The recording's texts were all taken once when it was driven; a refused one changes nothing again.
    takeCarText(game, from == 0 ? recording.header.carText : recording.carTextFor(from), "the recording's car file");
    restoreKeyframe(game, keyframe != nullptr ? keyframe->state : recording.header.start);
    return from;
}

FrameActions playRecordedFrame(Game& game, const RecordedFrame& frame, const std::string* reloadedCarText)
{
    if ((frame.events & kEventFocusPause) != 0) {
        game.play.paused = true;
    }
    game.play.skipNextStep = (frame.events & kEventSimulationSkipped) != 0;
    if ((frame.events & kEventCarReloaded) != 0 && reloadedCarText != nullptr) {
        takeCarText(game, *reloadedCarText, "the recording's car file");
    }
    game.keyboardInput.holdDrivingKeys(frame.keys);
    game.padInput.setFrame(frame.pads);
    return runFrame(game, frame.frameTime);
}

FrameActions playRecordedFrame(Game& game, const Recording& recording, std::uint32_t frame)
{
    return playRecordedFrame(game, recording.frames[frame - 1], recording.carReloadAt(frame));
}

} // namespace torvane
