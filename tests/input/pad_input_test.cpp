// The pad's part of a frame, on snapshots written by hand: the deadzone and
// the curve, the analogue controls set directly and left to the keyboard at
// rest, buttons acting as keys (once per press, the D-pad while held), the
// Back chords and Start held to quit.
#include <gtest/gtest.h>

#include "camera/camera.h"
#include "car/car.h"
#include "input/pad_input.h"

namespace torvane {
namespace {

struct PadPlayer {
    Camera camera;
    Car car;
    PadInput pads{camera};

    FrameActions frame(const PadSnapshot& snapshot, bool driving = true, float seconds = 1.0f / 60.0f)
    {
        FrameActions actions;
        pads.applySnapshot(snapshot, car, camera, actions, driving, seconds);
        car.stepPhysics(0.0f);
        return actions;
    }
};

PadSnapshot buttons(std::initializer_list<PadButton> down)
{
    PadSnapshot snapshot;
    for (PadButton button : down) {
        snapshot.buttons |= padButtonBit(button);
    }
    return snapshot;
}

TEST(PadInput, DeadzoneThenCurveKeepTheSignAndTheEnds)
{
    const PadResponse response{0.2f, 2.0f};
    EXPECT_EQ(shapePadAxis(0.2f, response), 0.0f);
    EXPECT_EQ(shapePadAxis(-0.1f, response), 0.0f);
    EXPECT_FLOAT_EQ(shapePadAxis(0.6f, response), 0.25f);
    EXPECT_FLOAT_EQ(shapePadAxis(-0.6f, response), -0.25f);
    EXPECT_EQ(shapePadAxis(1.0f, response), 1.0f);
    EXPECT_EQ(shapePadAxis(-1.00003f, response), -1.0f); // SDL's -32768
    EXPECT_EQ(shapePadAxis(0.5f, PadResponse{0.0f, 1.0f}), 0.5f);
}

TEST(PadInput, SticksAndTriggersSetTheControlsAndLeaveThemToTheKeysAtRest)
{
    PadPlayer player;
    player.pads.setResponse({0.0f, 1.0f});
    PadSnapshot snapshot;
    snapshot.steering = 0.5f;
    snapshot.accelerator = 0.25f;
    snapshot.brake = 0.75f;
    player.frame(snapshot);
    EXPECT_EQ(player.car.getSteeringAngle(), 22.5f); // held by the stick: no re-centring
    EXPECT_EQ(player.car.getThrottle(), 0.25f);      // held by the trigger: no release
    EXPECT_EQ(player.car.getBrake(), 0.75f);
    EXPECT_TRUE(player.pads.lastDriving().steers && player.pads.lastDriving().accelerates);

    player.frame(PadSnapshot{});
    EXPECT_EQ(player.car.getSteeringAngle(), 2.5f); // re-centred by 20 degrees as after the keys
    EXPECT_FLOAT_EQ(player.car.getThrottle(), 0.1f); // released by 0.15
    EXPECT_FALSE(player.pads.lastDriving().steers || player.pads.lastDriving().accelerates);
}

TEST(PadInput, ButtonsActAsTheirKeys)
{
    PadPlayer player;
    player.frame(buttons({PadButton::DpadRight, PadButton::DpadUp}));
    player.frame(buttons({PadButton::DpadRight, PadButton::DpadUp}));
    EXPECT_EQ(player.car.getSteeringAngle(), 20.0f); // the D-pad steps while held, like the arrows
    EXPECT_FLOAT_EQ(player.car.getThrottle(), 0.2f);

    player.frame(buttons({PadButton::RightShoulder}));
    player.frame(buttons({PadButton::RightShoulder})); // held: once per press
    EXPECT_EQ(player.camera.getMode(), 1);
    player.frame(buttons({}));
    player.frame(buttons({PadButton::LeftShoulder}));
    player.frame(buttons({}));
    player.frame(buttons({PadButton::LeftShoulder}));
    EXPECT_EQ(player.camera.getMode(), 7); // previous wraps from 0 to 7

    // With Back held the face buttons and the D-pad choose modes instead.
    player.frame(buttons({PadButton::Back, PadButton::X}));
    EXPECT_EQ(player.camera.getMode(), 2);
    const float steering = player.car.getSteeringAngle();
    player.frame(buttons({PadButton::Back, PadButton::DpadLeft}));
    EXPECT_EQ(player.camera.getMode(), 7);
    EXPECT_GE(player.car.getSteeringAngle(), steering); // no left step under the chord

    EXPECT_TRUE(player.frame(buttons({PadButton::Y})).resetRequested);
    EXPECT_FALSE(player.frame(buttons({PadButton::Back, PadButton::Y})).resetRequested);
}

TEST(PadInput, StartPausesAndHeldForASecondQuits)
{
    PadPlayer player;
    PadSnapshot start = buttons({PadButton::Start});
    start.steering = 1.0f;
    const FrameActions first = player.frame(start, false, 0.25f);
    EXPECT_TRUE(first.pauseToggled);
    EXPECT_FALSE(first.quitRequested);
    EXPECT_EQ(player.car.getSteeringAngle(), 0.0f); // paused: the stick does not drive
    EXPECT_FALSE(player.frame(start, false, 0.5f).quitRequested);
    EXPECT_TRUE(player.frame(start, false, 0.25f).quitRequested);

    player.frame(buttons({}), false, 0.9f);
    EXPECT_FALSE(player.frame(start, false, 0.9f).quitRequested); // the hold starts again
}

} // namespace
} // namespace torvane
