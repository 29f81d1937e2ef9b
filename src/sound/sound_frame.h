// SoundFrame: what is heard in one frame, in the sound layer's own terms: the
// engine's speed and load, how far each tyre slides, how hard the car hit a
// wall, and where the listener stands. The game fills one per frame from the
// car and the camera (app/car_sound.h); the sound layer knows nothing of either.
//
// Units: world units (u), seconds, revolutions per minute. Positions are in
// the game's world frame (left-handed, y up); the output mirrors them for OpenAL.
#pragma once

#include "math/vector3.h"

namespace torvane {

inline constexpr int kSoundTyres = 4;

struct TyreSound {
    Vector3 position;   // the tyre's contact patch, u
    float slide = 0.0f; // 0: gripping .. 1: fully past its grip
};

struct SoundFrame {
    float engineRpm = 0.0f;  // rev/min, idle to redline
    float throttle = 0.0f;   // 0..1, the engine's load
    Vector3 carPosition;     // u
    TyreSound tyres[kSoundTyres];
    float impactSpeed = 0.0f; // u/s the walls took from the car this frame; 0: no contact
    Vector3 listenerPosition; // the camera's eye, u
    Vector3 listenerForward{0.0f, 0.0f, 1.0f}; // towards what the camera looks at
    bool paused = false;      // the game is paused: nothing is heard
};

} // namespace torvane
