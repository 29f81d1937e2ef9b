// PadInput: the game pads' part of a frame. The left stick sets the steering
// angle directly (within the same ±45 degrees as the keys), the right trigger
// sets the accelerator and the left trigger the brake pedal, each after a
// deadzone and a response curve. Buttons do what keys do (kPadButtons): the
// D-pad steers and works the accelerator like the arrows, the shoulders step
// through the camera modes, Back held with a face button or a D-pad direction
// chooses a mode directly, Y resets the car, Start pauses and, held for a
// second, quits. A stick or trigger at rest leaves the car to the keyboard.
//
// A frame's pads are first shaped into a PadFrame (the sticks and triggers
// after the deadzone and the curve, the buttons), which is then applied: a
// recording keeps the PadFrame, and a replay applies it again unshaped. The
// values set on the car are kept as lastDriving().
//
// Shortcomings: all pads act as one; no rumble; the right stick is not used.
#pragma once

#include <array>
#include <cstdint>

#include "input/driving_actions.h"
#include "input/pad_device.h"

namespace torvane {

class Camera;
class Car;

// How a stick or a trigger answers: nothing inside the deadzone, then
// ((|v| - deadzone) / (1 - deadzone)) ^ curve, the sign kept.
struct PadResponse {
    float deadzone = 0.15f; // of full travel, 0 .. 0.9
    float curve = 1.5f;     // 1 linear; above 1, finer near the centre
};

// value (-1 .. 1) after the deadzone and the curve, in -1 .. 1.
float shapePadAxis(float value, PadResponse response);

struct PadBinding {
    PadButton button;
    DrivingAction action;
    int cameraMode = 0;    // for DrivingAction::CameraMode
    bool withBack = false; // acts only while Back is held; without it, only while Back is up
};

inline constexpr std::array<PadBinding, 16> kPadButtons = {{
    {PadButton::DpadLeft, DrivingAction::SteerLeft},
    {PadButton::DpadRight, DrivingAction::SteerRight},
    {PadButton::DpadUp, DrivingAction::Accelerate},
    {PadButton::DpadDown, DrivingAction::LiftThrottle},
    {PadButton::LeftShoulder, DrivingAction::PreviousCamera},
    {PadButton::RightShoulder, DrivingAction::NextCamera},
    {PadButton::Y, DrivingAction::ResetCar},
    {PadButton::Start, DrivingAction::Pause},
    {PadButton::A, DrivingAction::CameraMode, 0, true},
    {PadButton::B, DrivingAction::CameraMode, 1, true},
    {PadButton::X, DrivingAction::CameraMode, 2, true},
    {PadButton::Y, DrivingAction::CameraMode, 3, true},
    {PadButton::DpadUp, DrivingAction::CameraMode, 4, true},
    {PadButton::DpadRight, DrivingAction::CameraMode, 5, true},
    {PadButton::DpadDown, DrivingAction::CameraMode, 6, true},
    {PadButton::DpadLeft, DrivingAction::CameraMode, 7, true},
}};

// Seconds Start must be held to quit.
inline constexpr float kPadQuitHoldSeconds = 1.0f;

// The analogue controls a frame set on the car; unset ones were left to the keyboard.
struct PadDriving {
    bool steers = false;
    float steeringAngle = 0.0f; // degrees
    bool accelerates = false;
    float throttle = 0.0f;      // 0 .. 1
    bool brakes = false;
    float brake = 0.0f;         // 0 .. 1
};

// One frame of the pads as the game consumes it: shaped, so applying it again
// needs neither the deadzone nor the curve that made it.
struct PadFrame {
    float steering = 0.0f;     // -1 (left) .. 1, shaped
    float accelerator = 0.0f;  // 0 .. 1, shaped
    float brake = 0.0f;        // 0 .. 1, shaped
    std::uint32_t buttons = 0; // padButtonBit of each button down

    bool operator==(const PadFrame&) const = default;
};

// The sticks and triggers of pads after response's deadzone and curve, with the buttons.
PadFrame shapePadSnapshot(const PadSnapshot& pads, PadResponse response);

// What the next frame's buttons are judged against: the buttons down in the
// previous frame (a press acts once) and how long Start has been held.
struct PadHold {
    std::uint32_t previousButtons = 0;
    float startHeldSeconds = 0.0f; // seconds

    bool operator==(const PadHold&) const = default;
};

class PadInput {
public:
    explicit PadInput(const Camera& camera);

    // The device processPads reads; nullptr (the start) reads no pad. Not owned.
    void attachDevice(PadDevice* source) { device = source; }
    void setResponse(PadResponse value) { response = value; }
    PadResponse getResponse() const { return response; }

    // Reads and shapes the pads (the frame setFrame gave instead, when it gave
    // one; nothing without a device) and applies them after the keys of the
    // same frame: the sticks and triggers on car, the buttons as their actions.
    // With driving false (paused) only the game commands and the quit act.
    // frameSeconds times how long Start has been held.
    void processPads(Car& car, Camera& camera, FrameActions& actions, bool driving, float frameSeconds);
    // Shapes one snapshot and applies it, as processPads does with the one it reads.
    void applySnapshot(const PadSnapshot& pads, Car& car, Camera& camera, FrameActions& actions, bool driving,
                       float frameSeconds);
    // Applies one shaped frame, as processPads does.
    void applyFrame(const PadFrame& pads, Car& car, Camera& camera, FrameActions& actions, bool driving,
                    float frameSeconds);

    // The frame the next processPads applies instead of reading the device (a
    // replay's), for that one frame.
    void setFrame(const PadFrame& value)
    {
        frame = value;
        frameGiven = true;
    }
    // The frame the last processPads applied, as the simulation consumed it.
    const PadFrame& lastFrame() const { return frame; }
    const PadDriving& lastDriving() const { return driving; }

    // The button memory the next frame depends on, to save and restore with the car's state.
    PadHold getHold() const { return {previousButtons, startHeldSeconds}; }
    void setHold(PadHold value);

private:
    void applyAnalogue(const PadFrame& pads, Car& car);
    void applyButton(const PadBinding& binding, std::uint32_t buttons, Car& car, Camera& camera,
                     FrameActions& actions, bool drivingAllowed) const;

    PadDevice* device = nullptr;
    PadResponse response;
    PadDriving driving;
    PadFrame frame;
    bool frameGiven = false; // setFrame gave the next frame's pads
    std::uint32_t previousButtons = 0;
    float startHeldSeconds = 0.0f;
    int cameraModeLimit;
};

} // namespace torvane
