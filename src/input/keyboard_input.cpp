#include "input/keyboard_input.h"

#include "camera/camera.h"
#include "car/car.h"
#include "input/keyboard_device.h"

namespace torvane {
namespace {

// Moves the camera's eye by offset. The camera places its eye anew at every
// update, so the nudge lasts until then.
void nudgeEye(Camera& camera, Vector3 offset)
{
    const Vector3 eye = camera.getEye() + offset;
    camera.setEye(eye.x, eye.y, eye.z);
}

} // namespace

void KeyboardInput::apply(const DrivingKey& key, Car& car, Camera& camera, FrameActions& actions) const
{
    switch (key.action) {
    case DrivingAction::SteerLeft:
        car.steer(-1.0f);
        car.setSteeringPressed(true);
        break;
    case DrivingAction::SteerRight:
        car.steer(1.0f);
        car.setSteeringPressed(true);
        break;
    case DrivingAction::Accelerate:
        car.pressThrottle(1.0f);
        car.setThrottlePressed(true);
        break;
    case DrivingAction::LiftThrottle:
        car.pressThrottle(-1.0f);
        break;
    case DrivingAction::Brake:
        car.pressBrake(true);
        break;
    case DrivingAction::EyeDown:
        nudgeEye(camera, {0.0f, -0.1f, 0.0f});
        break;
    case DrivingAction::EyeUp:
        nudgeEye(camera, {0.0f, 0.1f, 0.0f});
        break;
    case DrivingAction::Quit:
        actions.quitRequested = true;
        break;
    case DrivingAction::EyeForward:
        nudgeEye(camera, {0.0f, 0.0f, 0.1f});
        break;
    case DrivingAction::EyeBack:
        nudgeEye(camera, {0.0f, 0.0f, -0.1f});
        break;
    case DrivingAction::CameraMode:
        camera.setMode(key.cameraMode);
        break;
    case DrivingAction::NextCamera: {
        const int mode = camera.getMode();
        camera.setMode(mode < cameraModeLimit ? mode + 1 : 0);
        break;
    }
    }
}

KeyboardInput::KeyboardInput(const Camera& camera) : cameraModeLimit(camera.getLastMode()) {}

void KeyboardInput::readSnapshot()
{
    if (device == nullptr) {
        return;
    }
    if (device->read(keyState) == KeyboardReadResult::InputLost && device->acquire()) {
        device->read(keyState);
    }
}

FrameActions KeyboardInput::processKeys(Car& car, Camera& camera)
{
    readSnapshot();
    FrameActions actions;

    // Each key is tested on its own, in the table's order; none excludes another.
    for (const DrivingKey& key : kDrivingKeys) {
        if (isKeyDown(key.code)) {
            apply(key, car, camera, actions);
        }
    }
    return actions;
}

} // namespace torvane
