// KeyboardInput: the 256-byte key snapshot and the table of keys that drive the
// car, choose the camera mode, quit and give the game's commands. Driving keys
// are levels, not events: every key down in this frame's snapshot acts once per
// frame, by a fixed step that the frame time does not scale. Game commands act
// in the frame their key goes down, found against the previous snapshot.
//
// Shortcomings: no key repeat delay or debouncing; the camera eye nudges (A, Q,
// keypad 8 and 2) are overwritten by the camera's next update in every mode,
// so they never show on screen.
#pragma once

#include <bitset>
#include <cstdint>

#include "input/driving_keys.h"
#include "input/key_codes.h"

namespace torvane {

class Camera;
class Car;
class KeyboardDevice;

class KeyboardInput {
public:
    // Keeps the camera's highest mode for the mode-cycling key; all keys up.
    explicit KeyboardInput(const Camera& camera);

    // The device processKeys reads the snapshot from; nullptr (the start) reads
    // nothing and acts on the snapshot as it stands. Not owned.
    void attachDevice(KeyboardDevice* source) { device = source; }

    // True when bit 0x80 of the key's byte is set.
    bool isKeyDown(KeyCode code) const { return (keyState[code] & 0x80u) != 0; }
    // Overwrites one byte of the snapshot, as the device would.
    void setKeyByte(KeyCode code, std::uint8_t value) { keyState[code] = value; }
    // Overwrites the whole snapshot: the keys set in keys down, every other key up.
    void setKeysDown(const std::bitset<kKeyCount>& keys);
    int getCameraModeLimit() const { return cameraModeLimit; }

    // The snapshot's driving keys: bit i set when row i of kDrivingKeys is down.
    std::uint64_t drivingKeysDown() const { return drivingKeysIn(keyState); }
    // Sets the snapshot as a recorded frame had it (the rows of keys down,
    // every other key up), for the next processKeys to act on instead of
    // reading the device, that one frame.
    void holdDrivingKeys(std::uint64_t keys);
    // The driving keys of the snapshot the previous frame acted on, which the
    // next frame's presses are found against; to save and restore with the car's state.
    std::uint64_t previousDrivingKeys() const { return drivingKeysIn(previousKeyState); }
    void setPreviousDrivingKeys(std::uint64_t keys);

    // Reads the snapshot, then applies the key table in its order to car and
    // camera; Escape asks for the quit and the table goes on. With driving
    // false (the game paused) only Escape and the game commands act.
    FrameActions processKeys(Car& car, Camera& camera, bool driving = true);

private:
    // One read; after lost input, one re-acquisition and, if it works, one more read.
    void readSnapshot();
    bool isAltDown() const { return isKeyDown(kKeyLeftAlt) || isKeyDown(kKeyRightAlt); }
    bool isControlDown() const { return isKeyDown(kKeyLeftControl) || isKeyDown(kKeyRightControl); }
    static std::uint64_t drivingKeysIn(const std::uint8_t (&snapshot)[kKeyCount]);
    static void setDrivingKeys(std::uint8_t (&snapshot)[kKeyCount], std::uint64_t keys);

    KeyboardDevice* device = nullptr;
    std::uint8_t keyState[kKeyCount] = {};
    std::uint8_t previousKeyState[kKeyCount] = {}; // the snapshot the previous frame acted on
    bool snapshotGiven = false; // holdDrivingKeys gave the next frame's snapshot
    int cameraModeLimit;
};

} // namespace torvane
