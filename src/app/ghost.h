// Ghost: a recorded drive raced against. Its car is simulated from the
// recording frame by frame in a game of its own (the same city, the
// recording's car, a silent device), with the collisions and the recorded
// pauses and resets as they were, and kept level in time with the player's
// drive: it starts when the player's drive starts and again at each reset of
// the player's car. Its pose is handed to game.ghostCar, which the frame draws
// translucent.
//
// Shortcomings: the ghost stops at the recording's end and stays there; it
// follows the player's drive time, so it can be up to one recorded frame ahead.
#pragma once

#include <cstdint>
#include <memory>

#include "app/game.h"
#include "recording/recording.h"
#include "render/silent_device.h"

namespace torvane {

// The most recorded frames the ghost plays in one of the player's frames (a
// long recorded pause costs no drive time).
inline constexpr int kMostGhostFramesPerFrame = 256;

class Ghost {
public:
    // A ghost of recording in game's city, its car looking like game's car;
    // nullptr (after a diagnostic) when the recording's car is refused.
    static std::unique_ptr<Ghost> race(Game& game, Recording recording);

    // Starts the recorded drive again, level with a player's drive that starts now.
    void restart();
    // Before the player's frame of frameTime (seconds): the player's drive
    // time moves on unless the game is paused, and the recorded drive is
    // played until it is level; game.ghostCar takes its car's pose.
    void follow(Game& game, float frameTime);

private:
    explicit Ghost(Recording raced) : recording(std::move(raced)) {}

    Recording recording;
    std::unique_ptr<Game> drive; // the ghost's own game; large, so on the heap
    SilentDevice silent;
    std::uint32_t played = 0;   // recorded frames played
    double driveSeconds = 0.0;  // the player's drive time since the start or the last reset
    double ghostSeconds = 0.0;  // the recorded drive's stepped time
};

} // namespace torvane
