#include "input/pad_input.h"

#include <cmath>

#include "camera/camera.h"
#include "car/car.h"

namespace torvane {
namespace {

constexpr float kSteeringLimit = 45.0f; // degrees, as the keys' clamp

// The D-pad's steering and accelerator act every frame they are held, as the arrows do.
bool actsWhileHeld(DrivingAction action)
{
    return action == DrivingAction::SteerLeft || action == DrivingAction::SteerRight ||
           action == DrivingAction::Accelerate || action == DrivingAction::LiftThrottle;
}

} // namespace

float shapePadAxis(float value, PadResponse response)
{
    const float magnitude = std::fabs(value);
    if (!(magnitude > response.deadzone)) {
        return 0.0f;
    }
    const float travel = std::fmin((magnitude - response.deadzone) / (1.0f - response.deadzone), 1.0f);
    const float shaped = std::pow(travel, response.curve);
    return value < 0.0f ? -shaped : shaped;
}

PadFrame shapePadSnapshot(const PadSnapshot& pads, PadResponse response)
{
    return {shapePadAxis(pads.steering, response), shapePadAxis(pads.accelerator, response),
            shapePadAxis(pads.brake, response), pads.buttons};
}

PadInput::PadInput(const Camera& camera) : cameraModeLimit(camera.getLastMode()) {}

void PadInput::processPads(Car& car, Camera& camera, FrameActions& actions, bool drivingAllowed, float frameSeconds)
{
    if (frameGiven) {
        frameGiven = false;
    } else {
        frame = device != nullptr ? shapePadSnapshot(device->read(), response) : PadFrame{};
    }
    applyFrame(frame, car, camera, actions, drivingAllowed, frameSeconds);
}

void PadInput::applySnapshot(const PadSnapshot& pads, Car& car, Camera& camera, FrameActions& actions,
                             bool drivingAllowed, float frameSeconds)
{
    frame = shapePadSnapshot(pads, response);
    applyFrame(frame, car, camera, actions, drivingAllowed, frameSeconds);
}

void PadInput::setHold(PadHold value)
{
    previousButtons = value.previousButtons;
    startHeldSeconds = value.startHeldSeconds;
}

void PadInput::applyFrame(const PadFrame& pads, Car& car, Camera& camera, FrameActions& actions,
                          bool drivingAllowed, float frameSeconds)
{
    driving = PadDriving{};
    if (drivingAllowed) {
        applyAnalogue(pads, car);
    }
    for (const PadBinding& binding : kPadButtons) {
        applyButton(binding, pads.buttons, car, camera, actions, drivingAllowed);
    }

    const bool startDown = (pads.buttons & padButtonBit(PadButton::Start)) != 0;
    startHeldSeconds = startDown ? startHeldSeconds + frameSeconds : 0.0f;
    if (startHeldSeconds >= kPadQuitHoldSeconds) {
        actions.quitRequested = true;
    }
    previousButtons = pads.buttons;
}

void PadInput::applyAnalogue(const PadFrame& pads, Car& car)
{
    const float steering = pads.steering;
    if (steering != 0.0f) {
        driving.steers = true;
        driving.steeringAngle = steering * kSteeringLimit;
        car.setSteeringAngle(driving.steeringAngle);
        car.setSteeringPressed(true);
    }
    const float accelerator = pads.accelerator;
    if (accelerator > 0.0f) {
        driving.accelerates = true;
        driving.throttle = accelerator;
        car.setThrottle(accelerator);
        car.setThrottlePressed(true);
    }
    const float brake = pads.brake;
    if (brake > 0.0f) {
        driving.brakes = true;
        driving.brake = brake;
        car.setBrake(brake);
    }
}

void PadInput::applyButton(const PadBinding& binding, std::uint32_t buttons, Car& car, Camera& camera,
                           FrameActions& actions, bool drivingAllowed) const
{
    const std::uint32_t bit = padButtonBit(binding.button);
    const bool backDown = (buttons & padButtonBit(PadButton::Back)) != 0;
    if ((buttons & bit) == 0 || backDown != binding.withBack) {
        return;
    }
    // On a pad every other button acts once per press.
    const bool held = actsWhileHeld(binding.action);
    const bool pressed = (previousButtons & bit) == 0;
    const bool allowed = drivingAllowed || isGameCommand(binding.action);
    if (allowed && (held || pressed)) {
        applyDrivingAction(binding.action, binding.cameraMode, cameraModeLimit, car, camera, actions);
    }
}

} // namespace torvane
