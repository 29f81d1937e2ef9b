// The game's sound on a loopback device, for tests that listen to frames: the
// data folder's clips, and the samples of one 60th of a second at a time.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sound/sound_scene.h"

namespace torvane {

inline constexpr int kFrameSamples = kRenderRate / 60;

// Gives scene a loopback output with the clips of TORVANE_DATA_DIR/sounds; false after a test failure.
inline bool useLoopback(SoundScene& scene)
{
    const ClipsRead clips = readSoundClips(TORVANE_DATA_DIR "/sounds");
    std::string why;
    EXPECT_TRUE(clips.clips) << clips.error;
    if (clips.clips) {
        scene.use(SoundOutput::openLoopback(*clips.clips, why));
    }
    EXPECT_NE(scene.output(), nullptr) << why;
    return scene.output() != nullptr;
}

// Renders one frame's samples of scene (with an output) into samples; their peak.
inline float renderFramePeak(SoundScene& scene, float (&samples)[2 * kFrameSamples])
{
    scene.output()->render(samples, kFrameSamples);
    float peak = 0.0f;
    for (const float sample : samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    return peak;
}

} // namespace torvane
