// DriveWatch: a recorded drive watched in the game. The game itself plays the
// recording frame by frame (app/recorded_play.h), so the car, the overlay and
// every camera mode show the recorded drive as it was driven. The viewer's keys
// (read by the caller, never the recording's) play and pause (Space), change
// the speed (PageUp, PageDown), seek 5 s back or on (Left, Right; while paused
// they step one frame), jump to the start or the end (Home, End), choose the
// camera (F1 to F8, V; until then the recorded camera), take the car over at
// the frame shown (T) or leave (Escape). A step back restores the last
// keyframe before it and plays on to the frame wanted, so every frame shows
// the very state the drive had. The picture is drawn once per displayed frame,
// with a seek bar; the frames played on the way draw nothing.
//
// Its sound is the recorded car's, frame by frame as played: the speed
// changes how fast the drive goes by, not the pitch; paused or at the end it is
// silent.
//
// Shortcomings: the recording's quit, fullscreen, screenshot and save keys are
// ignored while watching; a seek far from a keyframe plays up to a keyframe
// interval of frames in one displayed frame (not heard: the sound picks up at
// the next frame played).
#pragma once

#include <cstdint>
#include <vector>

#include "app/game.h"
#include "app/key_presses.h"
#include "app/watch_clock.h"
#include "recording/recording.h"
#include "render/silent_device.h"

namespace torvane {

// How far Left and Right seek while playing, in recorded seconds.
inline constexpr double kWatchSeekSeconds = 5.0;

// What the viewer asked of the game in a displayed frame.
enum class WatchRequest { KeepWatching, TakeOver, Leave };

class DriveWatch {
public:
    // Sets game up to watch recording from its start. False (after a
    // diagnostic) when the game cannot take the recording's car.
    bool start(Game& game, Recording watched);

    // One displayed frame of displaySeconds: acts on the keys pressed, plays
    // the recorded frames due, then draws the picture with the seek bar.
    WatchRequest showFrame(Game& game, const KeyPresses& keys, float displaySeconds);

    // Brings game to the state after frame (0: the start, at most frameCount()) exactly, silently.
    void goTo(Game& game, std::uint32_t frame);
    // The frames played so far (0: at the start).
    std::uint32_t frame() const { return position; }
    std::uint32_t frameCount() const { return static_cast<std::uint32_t>(recording.frames.size()); }
    // Recorded seconds at the end of frame (0 at the start).
    double secondsAt(std::uint32_t frame) const;
    // The frame whose end is nearest at or before seconds.
    std::uint32_t frameAt(double seconds) const;
    WatchClock& clock() { return playback; }
    // The seek bar as drawn: "[=====-----]  01:23 / 05:00  ×1".
    const char* barText() const { return bar; }

private:
    // Plays the next recorded frame on the silent device.
    void playNext(Game& game);
    void actOnKeys(Game& game, const KeyPresses& keys);
    void layOutBar();
    void drawPicture(Game& game) const;

    Recording recording;
    std::vector<double> frameEnds; // frameEnds[i]: recorded seconds at the end of frame i + 1
    std::uint32_t position = 0;
    WatchClock playback;
    SilentDevice silent;
    int viewerCameraMode = -1; // -1: the recorded camera
    char bar[192] = {};
};

} // namespace torvane
