// Game pads through SDL's virtual joystick, on the game's real start-up and
// frames (headless device): a pad's trigger and stick drive the car, pads plugged in
// and pulled out while driving are taken and dropped at the next frame, the
// keyboard keeps working beside them, and steady frames allocate nothing with
// pads connected and the frame-rate readout on.
#include <SDL.h>

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "app/game.h"
#include "input/key_codes.h"
#include "platform/desktop_gamepads.h"
#include "render/headless_device.h"
#include "support/allocation_counter.h"
#include "support/game_data_folder.h"

namespace torvane {
namespace {

constexpr float kFrame = 1.0f / 60.0f;

// A pad with the standard layout, seen by SDL as a game controller.
class VirtualPad {
public:
    VirtualPad()
    {
        index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
        joystick = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    }
    ~VirtualPad()
    {
        if (joystick != nullptr) {
            SDL_JoystickClose(joystick);
            SDL_JoystickDetachVirtual(index);
        }
    }
    bool plugged() const { return joystick != nullptr; }
    // value -1 .. 1 for sticks, 0 .. 1 for triggers, whose raw axis spans the whole range.
    void setAxis(SDL_GameControllerAxis axis, float value)
    {
        const bool trigger = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
        const long raw = trigger ? std::lround(-32768.0f + value * 65535.0f) : std::lround(value * 32767.0f);
        SDL_JoystickSetVirtualAxis(joystick, axis, static_cast<Sint16>(raw));
    }
    void setButton(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
    }

private:
    int index = -1;
    SDL_Joystick* joystick = nullptr;
};

class PadDrive : public InGameDataFolder {
protected:
    void SetUp() override
    {
        InGameDataFolder::SetUp();
        setenv("SDL_JOYSTICK_DISABLE_UDEV", "1", 1); // only the virtual pads
        pads = DesktopGamepads::create();
        ASSERT_NE(pads, nullptr);
        game = std::make_unique<Game>();
        setupDevice(*game, device);
        game->padInput.attachDevice(pads.get());
    }
    void TearDown() override
    {
        if (game != nullptr) {
            game->padInput.attachDevice(nullptr);
        }
        InGameDataFolder::TearDown();
    }
    void drive(int frames)
    {
        for (int frame = 0; frame < frames; ++frame) {
            game->play.countFrame(kFrame);
            runFrame(*game, kFrame);
            device.clearLog();
        }
    }

    HeadlessDevice device;
    std::unique_ptr<DesktopGamepads> pads;
    std::unique_ptr<Game> game;
    const Car& car() const { return game->playerCar; }
};

TEST_F(PadDrive, PadsComeAndGoWhileDrivingTheKeyboardKeepsWorkingAndSteadyFramesAllocateNothing)
{
    game->keyboardInput.setKeyByte(kKeyUp, 0x80);
    drive(30);
    EXPECT_EQ(pads->connectedCount(), 0);
    EXPECT_EQ(car().getThrottle(), 1.0);

    auto first = std::make_unique<VirtualPad>();
    auto second = std::make_unique<VirtualPad>();
    ASSERT_TRUE(first->plugged() && second->plugged()) << SDL_GetError();
    second->setAxis(SDL_CONTROLLER_AXIS_LEFTX, 1.0f);
    drive(1);
    EXPECT_EQ(pads->connectedCount(), 2);
    EXPECT_EQ(car().getSteeringAngle(), 45.0) << "set at once by the stick, not stepped";
    EXPECT_EQ(car().getThrottle(), 1.0); // the trigger at rest on the first pad, Up still held

    // Two pads driving, the readout shown, the camera cycling: steady frames allocate nothing.
    first->setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.8f);
    game->keyboardInput.setKeyByte(kKeyV, 0x80);
    game->play.readoutShown = true;
    drive(60);
    const std::size_t before = allocationCount();
    drive(600);
    EXPECT_EQ(allocationCount() - before, 0u);
    EXPECT_STRNE(game->play.readout.text(), "");
    game->keyboardInput.setKeyByte(kKeyV, 0);

    // Up let go: the first pad's trigger drives, fully and then shaped by the curve part way.
    game->keyboardInput.setKeyByte(kKeyUp, 0);
    first->setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    drive(1);
    EXPECT_EQ(car().getThrottle(), 1.0);
    first->setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.6f);
    drive(1);
    EXPECT_EQ(car().getThrottle(), game->padInput.lastDriving().throttle);
    EXPECT_LT(car().getThrottle(), 0.6) << "shaped by the curve";

    // The trigger let go and the stick pulled out while held: both come back as after the keys.
    first->setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.0f);
    second.reset();
    drive(1);
    EXPECT_EQ(pads->connectedCount(), 1);
    drive(3);
    EXPECT_EQ(car().getSteeringAngle(), 0.0);
    EXPECT_EQ(car().getThrottle(), 0.0);

    // The remaining pad's buttons: Y puts the car back at its start, Back with B chooses camera mode 1.
    first->setButton(SDL_CONTROLLER_BUTTON_Y, true);
    drive(1);
    EXPECT_EQ(car().getPosition().z, 2.0);
    first->setButton(SDL_CONTROLLER_BUTTON_Y, false);
    first->setButton(SDL_CONTROLLER_BUTTON_BACK, true);
    first->setButton(SDL_CONTROLLER_BUTTON_B, true);
    drive(1);
    EXPECT_EQ(game->camera.getMode(), 1);
}

} // namespace
} // namespace torvane
