// The driving table: every key the game reacts to, in the order a frame
// applies them, with the name key scripts give it and what it does. Keys are
// levels: a key down in the frame's snapshot acts once in that frame.
//
// Shortcomings: one binding per action; the camera eye nudges are overwritten
// by the camera's next update in every mode, so they never show on screen.
#pragma once

#include <array>
#include <string_view>

#include "input/key_codes.h"

namespace torvane {

enum class DrivingAction {
    SteerLeft,
    SteerRight,
    Accelerate,  // the accelerator 0.1 further down
    LiftThrottle, // the accelerator 0.1 further up; no brake
    Brake,       // the brake pedal, shown but not acting on the wheels
    EyeDown,
    EyeUp,
    Quit,
    EyeForward,
    EyeBack,
    CameraMode,  // the mode in DrivingKey::cameraMode
    NextCamera,
};

struct DrivingKey {
    KeyCode code;
    std::string_view scriptName;
    DrivingAction action;
    int cameraMode = 0; // for DrivingAction::CameraMode
};

// F1 to F8 choose modes 0 to 7; when several are down the last, the highest, wins.
inline constexpr std::array<DrivingKey, 19> kDrivingKeys = {{
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
}};

} // namespace torvane
