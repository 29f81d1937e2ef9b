#include "app/key_presses.h"

#include <algorithm>

#include "input/keyboard_device.h"
#include "input/keyboard_input.h"

namespace torvane {

void KeyPresses::update(const KeyboardInput& keyboard)
{
    std::copy(std::begin(now), std::end(now), std::begin(before));
    for (int code = 0; code < kKeyCount; ++code) {
        now[code] = keyboard.isKeyDown(static_cast<KeyCode>(code)) ? 0x80 : 0;
    }
}

void KeyPresses::read(KeyboardDevice* device)
{
    std::copy(std::begin(now), std::end(now), std::begin(before));
    if (device == nullptr) {
        std::fill(std::begin(now), std::end(now), std::uint8_t{0});
        return;
    }
    if (device->read(now) == KeyboardReadResult::InputLost && device->acquire()) {
        device->read(now);
    }
}

} // namespace torvane
