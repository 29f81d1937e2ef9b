// PadDevice: where the game pads' state comes from. The platform layer
// implements it over SDL's game controllers; PadInput reads it once a frame.
// Every connected pad is merged into one snapshot, so any pad drives.
//
// Shortcomings: the pads are not told apart: two players cannot each have a car.
#pragma once

#include <cstdint>

namespace torvane {

// The buttons in the layout of a standard pad, bit n of PadSnapshot::buttons.
enum class PadButton {
    A, B, X, Y, Back, Guide, Start, LeftStick, RightStick, LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight,
};

constexpr std::uint32_t padButtonBit(PadButton button)
{
    return 1u << static_cast<unsigned>(button);
}

// One frame of every connected pad, merged. Raw values: no deadzone yet.
struct PadSnapshot {
    int connected = 0;         // how many pads are read
    float steering = 0.0f;     // the left stick's x, -1 (left) .. 1 (right), the pad furthest from centre
    float accelerator = 0.0f;  // the right trigger, 0 .. 1, the furthest down of all pads
    float brake = 0.0f;        // the left trigger, 0 .. 1, likewise
    std::uint32_t buttons = 0; // padButtonBit of each button down on any pad
};

class PadDevice {
public:
    virtual ~PadDevice() = default;
    // This frame's snapshot; pads plugged in or out since the last read are taken into account.
    virtual PadSnapshot read() = 0;
};

} // namespace torvane
