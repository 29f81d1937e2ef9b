// Recorded play: a recorded drive played through the game's own frame, the
// exact path the game took when it was driven: the recorded events, the key
// snapshot and the pads' shaped values are put back, then runFrame runs. Used
// by the replay tool's check and by watching a drive in the game. Also the
// capture and the restoring of the whole state a drive depends on (keyframes).
//
// Shortcoming: the camera's smoothing is not part of a keyframe; after a seek
// the picture can differ from the recorded drive's for a frame or two.
#pragma once

#include <cstdint>
#include <string>

#include "app/game.h"
#include "recording/recording.h"

namespace torvane {

// The whole state the next frames depend on, as it stands.
Keyframe captureKeyframe(const Game& game);
// Puts state back: the car's motion, the input memory, the pause, the camera
// mode. The car's model stays the caller's (takeCarText).
void restoreKeyframe(Game& game, const Keyframe& state);

// Sets game up to play recording from its start: the car takes the header's
// car text (the built-in car when empty) and the start state. False, after a
// diagnostic naming the problems, when the car text is refused.
bool startRecordedDrive(Game& game, const Recording& recording);

// Restores the last keyframe at or before frame (from 1), with the car text in
// force then; returns that keyframe's frame, 0 for the start (restored from the
// header). Playing the frames after it brings the game to frame exactly.
std::uint32_t seekRecordedDrive(Game& game, const Recording& recording, std::uint32_t frame);

// Plays one recorded frame: its events (the focus pause; the car taking
// reloadedCarText when kEventCarReloaded is set, nullptr otherwise), its keys
// and pads (which win over the keyboard and pads attached, for this frame),
// then runFrame with its frame time. Returns what the frame asked.
FrameActions playRecordedFrame(Game& game, const RecordedFrame& frame, const std::string* reloadedCarText);
// The same for frame number frame (from 1, at most recording.frames.size()) of recording.
FrameActions playRecordedFrame(Game& game, const Recording& recording, std::uint32_t frame);

} // namespace torvane
