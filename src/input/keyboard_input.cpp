#include "input/keyboard_input.h"

#include <algorithm>

#include "camera/camera.h"
#include "input/keyboard_device.h"

namespace torvane {

KeyboardInput::KeyboardInput(const Camera& camera) : cameraModeLimit(camera.getLastMode()) {}

void KeyboardInput::readSnapshot()
{
    if (snapshotGiven) {
        snapshotGiven = false;
        return;
    }
    if (device == nullptr) {
        return;
    }
    if (device->read(keyState) == KeyboardReadResult::InputLost && device->acquire()) {
        device->read(keyState);
    }
}

FrameActions KeyboardInput::processKeys(Car& car, Camera& camera, bool driving)
{
    readSnapshot();
    FrameActions actions;

    // Each key is tested on its own, in the table's order; none excludes another.
    for (const DrivingKey& key : kDrivingKeys) {
        if (!isKeyDown(key.code) || (key.withAlt && !isAltDown()) || (key.withControl && !isControlDown())) {
            continue;
        }
        const bool command = isGameCommand(key.action);
        const bool pressed = (previousKeyState[key.code] & 0x80u) == 0;
        if ((command && pressed) || (!command && (driving || key.action == DrivingAction::Quit))) {
            applyDrivingAction(key.action, key.cameraMode, cameraModeLimit, car, camera, actions);
        }
    }
    std::copy(std::begin(keyState), std::end(keyState), std::begin(previousKeyState));
    return actions;
}

std::uint64_t KeyboardInput::drivingKeysIn(const std::uint8_t (&snapshot)[kKeyCount])
{
    std::uint64_t keys = 0;
    for (std::size_t row = 0; row < kDrivingKeys.size(); ++row) {
        if ((snapshot[kDrivingKeys[row].code] & 0x80u) != 0) {
            keys |= std::uint64_t{1} << row;
        }
    }
    return keys;
}

void KeyboardInput::setDrivingKeys(std::uint8_t (&snapshot)[kKeyCount], std::uint64_t keys)
{
    std::fill(std::begin(snapshot), std::end(snapshot), std::uint8_t{0});
    for (std::size_t row = 0; row < kDrivingKeys.size(); ++row) {
        if ((keys >> row & 1u) != 0) {
            snapshot[kDrivingKeys[row].code] = 0x80;
        }
    }
}

void KeyboardInput::setKeysDown(const std::bitset<kKeyCount>& keys)
{
    for (int code = 0; code < kKeyCount; ++code) {
        keyState[code] = keys.test(static_cast<std::size_t>(code)) ? 0x80 : 0;
    }
}

void KeyboardInput::holdDrivingKeys(std::uint64_t keys)
{
    setDrivingKeys(keyState, keys);
    snapshotGiven = true;
}

void KeyboardInput::setPreviousDrivingKeys(std::uint64_t keys)
{
    setDrivingKeys(previousKeyState, keys);
}

} // namespace torvane
