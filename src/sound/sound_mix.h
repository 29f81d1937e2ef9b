// SoundMix: the gain, pitch and place of every voice for one SoundFrame: the
// two engine loops (one recorded coasting at low revs, one pulling at high
// revs) blended by the throttle and pitched to the engine's firing frequency,
// one squeal per tyre as loud as it slides, and a thump when the car hit a wall
// hard enough. Pure arithmetic: the output applies it.
//
// Shortcomings: the engine is a four-cylinder four-stroke (two firings a
// revolution) whatever the car; no Doppler shift, no rolling or wind noise.
#pragma once

#include "sound/sound_frame.h"

namespace torvane {

// The firing frequencies the two engine loops were recorded at, in Hz
// (tools/generate_sounds.py writes them).
inline constexpr float kEngineOffLoopHz = 50.0f;
inline constexpr float kEngineOnLoopHz = 150.0f;
// The slowest impact that thumps, u/s; the impact that thumps at full gain.
inline constexpr float kQuietestImpact = 0.5f;
inline constexpr float kLoudestImpact = 25.0f;

struct Voice {
    float gain = 0.0f;  // 0..1
    float pitch = 1.0f; // playback rate over the recorded one
    Vector3 position;   // u, game world frame
};

struct SoundMix {
    Voice engineOff;
    Voice engineOn;
    Voice tyres[kSoundTyres];
    Voice thump; // gain 0: no new thump this frame
};

// The engine's firing frequency at rpm, in Hz.
float firingFrequency(float rpm);

SoundMix mixSound(const SoundFrame& frame);

} // namespace torvane
