// KeyPresses: which keys went down since the last look, from successive key
// snapshots, for the game's own commands outside the driving table (the list
// of recent drives, the ghost, watching a drive). Knows nothing of SDL.
#pragma once

#include <cstdint>

#include "input/key_codes.h"

namespace torvane {

class KeyboardDevice;
class KeyboardInput;

class KeyPresses {
public:
    // Takes the snapshot keyboard last acted on.
    void update(const KeyboardInput& keyboard);
    // Reads a snapshot from device (nullptr: every key up); a failed read counts as every key up.
    void read(KeyboardDevice* device);
    // Sets one key as the next snapshot would have it, for tests.
    void setDown(KeyCode code, bool down) { now[code] = down ? 0x80 : 0; }

    // Down now and up at the last look.
    bool pressed(KeyCode code) const { return (now[code] & 0x80u) != 0 && (before[code] & 0x80u) == 0; }
    bool isDown(KeyCode code) const { return (now[code] & 0x80u) != 0; }

private:
    std::uint8_t now[kKeyCount] = {};
    std::uint8_t before[kKeyCount] = {};
};

} // namespace torvane
