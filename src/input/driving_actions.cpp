#include "input/driving_actions.h"

#include "camera/camera.h"
#include "car/car.h"

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

void applyDrivingAction(DrivingAction action, int cameraMode, int cameraModeLimit, Car& car, Camera& camera,
                        FrameActions& actions)
{
    switch (action) {
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
        camera.setMode(cameraMode);
        break;
    case DrivingAction::NextCamera: {
        const int mode = camera.getMode();
        camera.setMode(mode < cameraModeLimit ? mode + 1 : 0);
        break;
    }
    case DrivingAction::PreviousCamera: {
        const int mode = camera.getMode();
        camera.setMode(mode > 0 && mode <= cameraModeLimit ? mode - 1 : cameraModeLimit);
        break;
    }
    case DrivingAction::Pause:
        actions.pauseToggled = !actions.pauseToggled;
        break;
    case DrivingAction::ResetCar:
        actions.resetRequested = true;
        break;
    case DrivingAction::FrameReadout:
        actions.readoutToggled = !actions.readoutToggled;
        break;
    case DrivingAction::Fullscreen:
        actions.fullscreenToggled = !actions.fullscreenToggled;
        break;
    case DrivingAction::Screenshot:
        actions.screenshotRequested = true;
        break;
    case DrivingAction::SaveDrive:
        actions.saveDriveRequested = true;
        break;
    case DrivingAction::TyrePanel:
        actions.tyrePanelToggled = !actions.tyrePanelToggled;
        break;
    case DrivingAction::SetupPanel:
        actions.setupPanelToggled = !actions.setupPanelToggled;
        break;
    case DrivingAction::Mute:
        actions.muteToggled = !actions.muteToggled;
        break;
    case DrivingAction::Modifier:
        break;
    }
}

} // namespace torvane
