#include "input/keyboard_input.h"

#include "camera/camera.h"
#include "car/car.h"
#include "input/keyboard_device.h"

namespace torvane {
namespace {

// Moves the camera's eye by offset. The camera places its eye anew at every
// update, so the nudge lasts until then.
void nudgeEye(Camera& camera, Vector3 offset)
{
    const Vector3 eye = camera.getEye() + offset;
    camera.setEye(eye.x, eye.y, eye.z);
}

} // namespace

KeyboardInput::KeyboardInput(const Camera& camera) : cameraModeLimit(camera.getLastMode()) {}

void KeyboardInput::readSnapshot()
{
    if (device == nullptr) {
        return;
    }
    if (device->read(keyState) == KeyboardReadResult::InputLost && device->acquire()) {
        device->read(keyState);
    }
}

FrameActions KeyboardInput::processKeys(Car& car, Camera& camera)
{
    readSnapshot();
    FrameActions actions;

    // Each key is tested on its own, in this order; none excludes another.
    if (isKeyDown(kKeyLeft)) {
        car.steer(-1.0f);
        car.setSteeringPressed(true);
    }
    if (isKeyDown(kKeyRight)) {
        car.steer(1.0f);
        car.setSteeringPressed(true);
    }
    if (isKeyDown(kKeyUp)) {
        car.pressThrottle(1.0f);
        car.setThrottlePressed(true);
    }
    if (isKeyDown(kKeyDown)) {
        car.pressThrottle(-1.0f);
    }
    if (isKeyDown(kKeyRightControl)) {
        car.pressBrake(true);
    }
    if (isKeyDown(kKeyA)) {
        nudgeEye(camera, {0.0f, -0.1f, 0.0f});
    }
    if (isKeyDown(kKeyQ)) {
        nudgeEye(camera, {0.0f, 0.1f, 0.0f});
    }
    if (isKeyDown(kKeyEscape)) {
        actions.quitRequested = true;
    }
    if (isKeyDown(kKeyNumpad8)) {
        nudgeEye(camera, {0.0f, 0.0f, 0.1f});
    }
    if (isKeyDown(kKeyNumpad2)) {
        nudgeEye(camera, {0.0f, 0.0f, -0.1f});
    }
    // F1 to F8 choose modes 0 to 7; when several are down the highest wins.
    for (int mode = 0; mode < 8; ++mode) {
        if (isKeyDown(static_cast<KeyCode>(kKeyF1 + mode))) {
            camera.setMode(mode);
        }
    }
    if (isKeyDown(kKeyV)) {
        const int mode = camera.getMode();
        camera.setMode(mode < cameraModeLimit ? mode + 1 : 0);
    }
    return actions;
}

} // namespace torvane
