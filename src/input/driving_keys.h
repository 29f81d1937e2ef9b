// The driving table: every key the game reacts to, in the order a frame
// applies them, with the name key scripts give it and what it does. Driving
// keys are levels: a key down in the frame's snapshot acts once in that frame.
// Game commands (pause, reset, fullscreen, screenshot, the frame-rate readout, the panels, mute)
// act once when their key goes down, however long it is held.
// Recorded drives keep each frame's keys as one bit per row of this table:
// new rows go at the end, and a reordered table needs a new recording format.
//
// Shortcomings: one binding per action; the camera eye nudges are overwritten
// by the camera's next update in every mode, so they never show on screen.
#pragma once

#include <array>
#include <string_view>

#include "input/driving_actions.h"
#include "input/key_codes.h"

namespace torvane {

struct DrivingKey {
    KeyCode code;
    std::string_view scriptName;
    DrivingAction action;
    int cameraMode = 0;   // for DrivingAction::CameraMode
    bool withAlt = false; // acts only while either Alt key is down
    bool withControl = false; // acts only while either Ctrl key is down
};

// F1 to F8 choose modes 0 to 7; when several are down the last, the highest, wins.
inline constexpr std::array<DrivingKey, 33> kDrivingKeys = {{
    {kKeyLeft, "Left", DrivingAction::SteerLeft},
    {kKeyRight, "Right", DrivingAction::SteerRight},
    {kKeyUp, "Up", DrivingAction::Accelerate},
    {kKeyDown, "Down", DrivingAction::LiftThrottle},
    {kKeyRightControl, "RCtrl", DrivingAction::Brake},
    {kKeyA, "A", DrivingAction::EyeDown},
    {kKeyQ, "Q", DrivingAction::EyeUp},
    {kKeyEscape, "Escape", DrivingAction::Quit},
    {kKeyNumpad8, "KP8", DrivingAction::EyeForward},
    {kKeyNumpad2, "KP2", DrivingAction::EyeBack},
    {kKeyF1, "F1", DrivingAction::CameraMode, 0},
    {kKeyF2, "F2", DrivingAction::CameraMode, 1},
    {kKeyF3, "F3", DrivingAction::CameraMode, 2},
    {kKeyF4, "F4", DrivingAction::CameraMode, 3},
    {kKeyF5, "F5", DrivingAction::CameraMode, 4},
    {kKeyF6, "F6", DrivingAction::CameraMode, 5},
    {kKeyF7, "F7", DrivingAction::CameraMode, 6},
    {kKeyF8, "F8", DrivingAction::CameraMode, 7},
    {kKeyV, "V", DrivingAction::NextCamera},
    {kKeyP, "P", DrivingAction::Pause},
    {kKeyPause, "Pause", DrivingAction::Pause},
    {kKeyBackspace, "Backspace", DrivingAction::ResetCar},
    {kKeyF10, "F10", DrivingAction::FrameReadout},
    {kKeyF11, "F11", DrivingAction::Fullscreen},
    {kKeyReturn, "Return", DrivingAction::Fullscreen, 0, true},
    {kKeyF12, "F12", DrivingAction::Screenshot},
    {kKeyF9, "F9", DrivingAction::TyrePanel},
    {kKeyTab, "Tab", DrivingAction::SetupPanel},
    {kKeyLeftAlt, "LAlt", DrivingAction::Modifier},
    {kKeyRightAlt, "RAlt", DrivingAction::Modifier},
    {kKeyS, "S", DrivingAction::SaveDrive, 0, false, true},
    {kKeyLeftControl, "LCtrl", DrivingAction::Modifier},
    {kKeyM, "M", DrivingAction::Mute},
}};

} // namespace torvane
