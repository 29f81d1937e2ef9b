// Keys a test holds down: as a keyboard device the game reads, and as the
// driving-table bits a recorded frame keeps.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>

#include "input/driving_keys.h"
#include "input/keyboard_device.h"

namespace torvane {

// The bits of the driving table's rows for keys.
inline std::uint64_t drivingKeyBits(std::initializer_list<KeyCode> keys)
{
    std::uint64_t bits = 0;
    for (std::size_t row = 0; row < kDrivingKeys.size(); ++row) {
        bits |= std::find(keys.begin(), keys.end(), kDrivingKeys[row].code) != keys.end() ? std::uint64_t{1} << row : 0;
    }
    return bits;
}

// A keyboard that reads the keys held, always successfully.
struct HeldKeys final : KeyboardDevice {
    KeyboardReadResult read(std::uint8_t (&keyState)[kKeyCount]) override
    {
        std::copy(std::begin(down), std::end(down), std::begin(keyState));
        return KeyboardReadResult::Read;
    }
    bool acquire() override { return true; }
    void hold(KeyCode key, bool held = true) { down[key] = held ? 0x80 : 0; }

    std::uint8_t down[kKeyCount] = {};
};

} // namespace torvane
