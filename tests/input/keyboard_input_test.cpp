#include <cstring>
#include <deque>
#include <initializer_list>

#include <gtest/gtest.h>

#include "camera/camera.h"
#include "car/car.h"
#include "input/keyboard_device.h"
#include "input/keyboard_input.h"

namespace torvane {
namespace {

// A player holding keys; each frame hands the car to a zero-length physics step,
// which re-centres the steering and releases the throttle unless a key held them.
struct Driver {
    Camera camera;
    Car car;
    KeyboardInput keyboard{camera};

    explicit Driver(std::initializer_list<KeyCode> keys)
    {
        for (KeyCode key : keys) {
            keyboard.setKeyByte(key, 0x80);
        }
    }
    FrameActions frame()
    {
        const FrameActions actions = keyboard.processKeys(car, camera);
        car.stepPhysics(0.0f);
        return actions;
    }
};

TEST(KeyboardInput, DrivingKeys)
{
    Driver both({kKeyLeft, kKeyRight});
    both.car.setSteeringAngle(-45.0f);
    for (int frame = 0; frame < 3; ++frame) {
        both.frame();
        EXPECT_EQ(both.car.getSteeringAngle(), -35.0f);
    }

    Driver pedals({kKeyUp, kKeyDown});
    pedals.frame();
    EXPECT_EQ(pedals.car.getThrottle(), 0.0f);
    pedals.car.pressThrottle(10.0f);
    for (int frame = 0; frame < 3; ++frame) {
        pedals.frame();
        EXPECT_FLOAT_EQ(pedals.car.getThrottle(), 0.9f);
    }

    Driver up({kKeyUp, kKeyRightControl});
    up.keyboard.setKeyByte(kKeyLeft, 0x7F); // bit 0x80 clear: up
    for (int frame = 0; frame < 10; ++frame) {
        up.frame();
    }
    EXPECT_EQ(up.car.getThrottle(), 1.0f);
    EXPECT_EQ(up.car.getBrake(), 1.0f);
    EXPECT_EQ(up.car.getSteeringAngle(), 0.0f);
}

TEST(KeyboardInput, CameraKeysAndEscape)
{
    Driver chooser({kKeyF2, kKeyF6, kKeyF4, kKeyV});
    chooser.frame();
    EXPECT_EQ(chooser.camera.getMode(), 6);

    Driver cycling({kKeyV});
    cycling.camera.setMode(7);
    cycling.frame();
    EXPECT_EQ(cycling.camera.getMode(), 0);

    Driver quitting({kKeyEscape, kKeyF3, kKeyNumpad8});
    EXPECT_TRUE(quitting.frame().quitRequested);
    EXPECT_EQ(quitting.camera.getMode(), 2);
    EXPECT_FLOAT_EQ(quitting.camera.getEye().z, 0.1f);
}

// Plays back scripted read results (Read once the script runs out); a read
// that succeeds leaves only `down` held.
struct ScriptedKeyboard : KeyboardDevice {
    std::deque<KeyboardReadResult> script;
    bool acquireResult = true;
    KeyCode down = kKeyV;
    int reads = 0;

    KeyboardReadResult read(std::uint8_t (&keyState)[kKeyCount]) override
    {
        ++reads;
        const KeyboardReadResult result = script.empty() ? KeyboardReadResult::Read : script.front();
        if (!script.empty()) {
            script.pop_front();
        }
        if (result == KeyboardReadResult::Read) {
            std::memset(keyState, 0, sizeof keyState);
            keyState[down] = 0x80;
        }
        return result;
    }
    bool acquire() override { return acquireResult; }
};

TEST(KeyboardInput, LostInputIsReacquiredOnceAndFailedReadsKeepTheSnapshot)
{
    Driver driver({});
    ScriptedKeyboard device;
    driver.keyboard.attachDevice(&device);
    driver.frame();
    EXPECT_EQ(driver.camera.getMode(), 1);

    device.down = kKeyF8;
    device.script = {KeyboardReadResult::Failed, KeyboardReadResult::InputLost};
    driver.frame(); // V still down from the last good read
    device.acquireResult = false;
    driver.frame();
    EXPECT_EQ(driver.camera.getMode(), 3);
    EXPECT_EQ(device.reads, 3);

    device.script = {KeyboardReadResult::InputLost};
    device.acquireResult = true;
    driver.frame(); // the read after re-acquisition gives this frame's keys
    EXPECT_EQ(driver.camera.getMode(), 7);
    EXPECT_EQ(device.reads, 5);
}

TEST(KeyboardInput, GameCommandsActOncePerPress)
{
    Driver driver({kKeyP, kKeyBackspace, kKeyF10, kKeyF11, kKeyF12});
    const FrameActions pressed = driver.frame();
    EXPECT_TRUE(pressed.pauseToggled && pressed.resetRequested && pressed.readoutToggled &&
                pressed.fullscreenToggled && pressed.screenshotRequested);
    const FrameActions held = driver.frame();
    EXPECT_FALSE(held.pauseToggled || held.resetRequested || held.readoutToggled || held.fullscreenToggled ||
                 held.screenshotRequested);

    driver.keyboard.setKeyByte(kKeyP, 0);
    driver.frame();
    driver.keyboard.setKeyByte(kKeyPause, 0x80); // the Pause key, pressed later, toggles too
    EXPECT_TRUE(driver.frame().pauseToggled);

    // Return alone does nothing; with either Alt it switches fullscreen.
    Driver enter({kKeyReturn});
    EXPECT_FALSE(enter.frame().fullscreenToggled);
    enter.keyboard.setKeyByte(kKeyReturn, 0);
    enter.frame();
    enter.keyboard.setKeyByte(kKeyRightAlt, 0x80);
    enter.keyboard.setKeyByte(kKeyReturn, 0x80);
    EXPECT_TRUE(enter.frame().fullscreenToggled);
}

TEST(KeyboardInput, WhilePausedOnlyCommandsAndEscapeAct)
{
    Driver driver({kKeyUp, kKeyRight, kKeyV, kKeyEscape, kKeyP});
    const FrameActions actions = driver.keyboard.processKeys(driver.car, driver.camera, false);
    EXPECT_TRUE(actions.quitRequested);
    EXPECT_TRUE(actions.pauseToggled);
    EXPECT_EQ(driver.car.getThrottle(), 0.0f);
    EXPECT_EQ(driver.car.getSteeringAngle(), 0.0f);
    EXPECT_EQ(driver.camera.getMode(), 0);
}

} // namespace
} // namespace torvane
