// KeyboardDevice: where the key snapshot comes from. The platform layer
// implements it over the real keyboard; KeyboardInput reads it once a frame.
// The device must report keys whether or not the game's window has the focus.
//
// Shortcomings: a snapshot only; key events between two reads are not seen.
#pragma once

#include <cstdint>

#include "input/key_codes.h"

namespace torvane {

enum class KeyboardReadResult { Read, InputLost, Failed };

class KeyboardDevice {
public:
    virtual ~KeyboardDevice() = default;

    // Writes every key's state into keyState, byte n for key code n, bit 0x80
    // set when down. On InputLost or Failed keyState is left as it was.
    virtual KeyboardReadResult read(std::uint8_t (&keyState)[kKeyCount]) = 0;
    // Takes the keyboard back after InputLost; true when it succeeded.
    virtual bool acquire() = 0;
};

} // namespace torvane
