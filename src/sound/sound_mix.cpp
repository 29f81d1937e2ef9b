#include "sound/sound_mix.h"

#include <algorithm>

namespace torvane {
namespace {

constexpr float kFiringsPerRevolution = 2.0f;

float clampUnit(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

} // namespace

float firingFrequency(float rpm)
{
    return rpm / 60.0f * kFiringsPerRevolution;
}

SoundMix mixSound(const SoundFrame& frame)
{
    SoundMix mix;
    const float load = clampUnit(frame.throttle);
    const float hz = firingFrequency(frame.engineRpm);
    // Louder and harsher with the load: the pulling loop takes over from the coasting one.
    const float loudness = 0.45f + 0.55f * load;
    mix.engineOff = {loudness * (1.0f - load), hz / kEngineOffLoopHz, frame.carPosition};
    mix.engineOn = {loudness * load, hz / kEngineOnLoopHz, frame.carPosition};
    for (int i = 0; i < kSoundTyres; ++i) {
        const float slide = clampUnit(frame.tyres[i].slide);
        // A tyre squeals higher as it slides further.
        mix.tyres[i] = {0.4f * slide, 0.9f + 0.2f * slide, frame.tyres[i].position};
    }
    if (frame.impactSpeed >= kQuietestImpact) {
        mix.thump = {clampUnit(frame.impactSpeed / kLoudestImpact), 1.0f, frame.carPosition};
    }
    return mix;
}

} // namespace torvane
