#include "app/car_sound.h"

#include <algorithm>

#include "app/game.h"
#include "math/float_math.h"
#include "math/forward_axis.h"

namespace torvane {
namespace {

// Where the default tyres pass their peak force, and where they count as fully sliding.
constexpr float kPeakSlipRatio = 0.15f;
constexpr float kSlidingSlipRatio = 1.5f;
constexpr float kPeakSlipAngle = 3.5f; // degrees
constexpr float kSlidingSlipAngle = 10.0f;
// Half the car's width, where the tyres sound from, u: the model's track is zero.
constexpr float kSoundHalfTrack = 2.0f;

float past(float value, float peak, float sliding)
{
    return std::clamp((value - peak) / (sliding - peak), 0.0f, 1.0f);
}

} // namespace

float engineRpm(float wheelSpeed)
{
    const float share = std::clamp(wheelSpeed / kRedlineWheelSpeed, 0.0f, 1.0f);
    return kIdleRpm + (kRedlineRpm - kIdleRpm) * sqrtf(share);
}

float tyreSlide(float slipRatio, float slipAngle, float circleShare)
{
    const float beyond = std::max(past(fabsf(slipRatio), kPeakSlipRatio, kSlidingSlipRatio),
                                  past(fabsf(slipAngle), kPeakSlipAngle, kSlidingSlipAngle));
    return beyond * (0.5f + 0.5f * std::clamp(circleShare, 0.0f, 1.0f));
}

SoundFrame carSoundFrame(const Game& game)
{
    const Car& car = game.playerCar;
    const CarParameters& model = car.getParameters();
    SoundFrame frame;
    float wheelSpeeds = 0.0f;
    for (int i = 0; i < kWheelCount; ++i) {
        wheelSpeeds += car.getWheelSpeed(i);
    }
    frame.engineRpm = engineRpm(wheelSpeeds / static_cast<float>(kWheelCount));
    frame.throttle = car.getThrottle();
    frame.carPosition = car.getPosition();
    const float heading = car.getHeading();
    const Vector3 forward = forwardAxis(heading);
    const Vector3 side{cosf(heading), 0.0f, -sinf(heading)}; // the car's left
    for (int i = 0; i < kWheelCount; ++i) {
        const float fx = car.getLongitudinalForce(i);
        const float fy = car.getLateralForce(i);
        const float grip = car.gripLimit(car.getWheelLoad(i));
        const float share = grip > 0.0f ? sqrtf(fx * fx + fy * fy) / grip : 0.0f;
        // Wheels 0 and 1 at the front axle, 2 and 3 at the rear; the odd ones on the left.
        const float along = i < 2 ? model.body.frontAxle : -model.body.rearAxle;
        const float across = i % 2 == 1 ? kSoundHalfTrack : -kSoundHalfTrack;
        frame.tyres[i] = {car.getPosition() + along * forward + across * side,
                          tyreSlide(car.getSlipRatio(i), car.getSlipAngle(i), share)};
    }
    frame.impactSpeed = game.wallImpact;
    frame.listenerPosition = game.camera.getEye();
    frame.listenerForward = game.camera.getLookAt() - game.camera.getEye();
    frame.paused = game.play.paused;
    return frame;
}

} // namespace torvane
