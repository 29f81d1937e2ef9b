// DrivingAction: what a key or a pad button does, and applyDrivingAction,
// which does it to the car, the camera or the frame's requests to the loop.
// The keyboard and the pads share these, so a button does exactly what its key
// does.
//
// Shortcomings: the camera eye nudges are overwritten by the camera's next
// update in every mode, so they never show on screen.
#pragma once

namespace torvane {

class Camera;
class Car;

enum class DrivingAction {
    SteerLeft,
    SteerRight,
    Accelerate,   // the accelerator 0.1 further down
    LiftThrottle, // the accelerator 0.1 further up; no brake
    Brake,        // the brake pedal, shown but not acting on the wheels
    EyeDown,
    EyeUp,
    Quit,
    EyeForward,
    EyeBack,
    CameraMode,     // the mode given with the action
    NextCamera,
    PreviousCamera, // pads only
    // Game commands: they act once, when their key or button goes down.
    Pause,
    ResetCar,
    FrameReadout,
    Fullscreen,
    Screenshot,
    SaveDrive, // keep the drive being recorded
    TyrePanel,
    SetupPanel,
    Mute, // the sound off or on again
    Modifier, // a key that only changes what another key does (Alt)
};

// True for the game commands, which act once per press instead of once per frame.
constexpr bool isGameCommand(DrivingAction action)
{
    return action >= DrivingAction::Pause;
}

// What one frame's keys and buttons ask of the main loop, beyond the car and the camera.
struct FrameActions {
    bool quitRequested = false;    // end the loop after this frame
    bool pauseToggled = false;     // stop or restart the simulation and the clock
    bool resetRequested = false;   // the car back to its start, at rest
    bool readoutToggled = false;   // show or hide the frame-rate readout
    bool fullscreenToggled = false;
    bool screenshotRequested = false;
    bool simulationSkipped = false; // no scene began (a minimised window): the car neither collided nor stepped
    bool saveDriveRequested = false; // keep the recording of this drive
    bool tyrePanelToggled = false;   // show or hide the tyre panel
    bool setupPanelToggled = false;  // show or hide the car setup panel
    bool muteToggled = false;        // the sound off or on again
};

// Performs action on car, camera or actions. cameraMode is the mode of
// DrivingAction::CameraMode; the camera cycles through 0 .. cameraModeLimit.
void applyDrivingAction(DrivingAction action, int cameraMode, int cameraModeLimit, Car& car, Camera& camera,
                        FrameActions& actions);

} // namespace torvane
