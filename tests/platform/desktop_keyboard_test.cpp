// The two ways the desktop fills the key snapshot, SDL scancodes and the X
// server's Linux input codes, must put every driving key at the code the
// driving table reads. The physical keys are named here by SDL's and Linux's
// own constants, independently of both maps.
#include <linux/input-event-codes.h>

#include <algorithm>

#include <SDL.h>

#include <gtest/gtest.h>

#include "input/driving_keys.h"
#include "platform/desktop_keyboard.h"

namespace torvane {
namespace {

struct PhysicalKey {
    std::string_view scriptName;
    SDL_Scancode scancode;
    unsigned evdev;
};

constexpr PhysicalKey kPhysicalKeys[] = {
    {"Left", SDL_SCANCODE_LEFT, KEY_LEFT},      {"Right", SDL_SCANCODE_RIGHT, KEY_RIGHT},
    {"Up", SDL_SCANCODE_UP, KEY_UP},            {"Down", SDL_SCANCODE_DOWN, KEY_DOWN},
    {"RCtrl", SDL_SCANCODE_RCTRL, KEY_RIGHTCTRL}, {"A", SDL_SCANCODE_A, KEY_A},
    {"Q", SDL_SCANCODE_Q, KEY_Q},               {"Escape", SDL_SCANCODE_ESCAPE, KEY_ESC},
    {"KP8", SDL_SCANCODE_KP_8, KEY_KP8},        {"KP2", SDL_SCANCODE_KP_2, KEY_KP2},
    {"F1", SDL_SCANCODE_F1, KEY_F1},            {"F2", SDL_SCANCODE_F2, KEY_F2},
    {"F3", SDL_SCANCODE_F3, KEY_F3},            {"F4", SDL_SCANCODE_F4, KEY_F4},
    {"F5", SDL_SCANCODE_F5, KEY_F5},            {"F6", SDL_SCANCODE_F6, KEY_F6},
    {"F7", SDL_SCANCODE_F7, KEY_F7},            {"F8", SDL_SCANCODE_F8, KEY_F8},
    {"V", SDL_SCANCODE_V, KEY_V},               {"P", SDL_SCANCODE_P, KEY_P},
    {"Pause", SDL_SCANCODE_PAUSE, KEY_PAUSE},   {"Backspace", SDL_SCANCODE_BACKSPACE, KEY_BACKSPACE},
    {"F10", SDL_SCANCODE_F10, KEY_F10},         {"F11", SDL_SCANCODE_F11, KEY_F11},
    {"Return", SDL_SCANCODE_RETURN, KEY_ENTER}, {"F12", SDL_SCANCODE_F12, KEY_F12},
    {"LAlt", SDL_SCANCODE_LALT, KEY_LEFTALT},   {"RAlt", SDL_SCANCODE_RALT, KEY_RIGHTALT},
    {"S", SDL_SCANCODE_S, KEY_S},               {"LCtrl", SDL_SCANCODE_LCTRL, KEY_LEFTCTRL},
    {"F9", SDL_SCANCODE_F9, KEY_F9},            {"Tab", SDL_SCANCODE_TAB, KEY_TAB},
    {"M", SDL_SCANCODE_M, KEY_M},
};

TEST(DesktopKeyboard, EveryDrivingKeyLandsAtItsCodeThroughBothMaps)
{
    ASSERT_EQ(std::size(kPhysicalKeys), kDrivingKeys.size());
    for (const DrivingKey& key : kDrivingKeys) {
        const auto* physical = std::find_if(std::begin(kPhysicalKeys), std::end(kPhysicalKeys),
                                            [&](const PhysicalKey& p) { return p.scriptName == key.scriptName; });
        ASSERT_NE(physical, std::end(kPhysicalKeys)) << key.scriptName;
        EXPECT_EQ(directInputCodeOfSdlScancode(physical->scancode), key.code) << key.scriptName;
        EXPECT_EQ(directInputCodeOfEvdev(physical->evdev), key.code) << key.scriptName;
    }
}

TEST(DesktopKeyboard, KeysWithoutACodeGiveZero)
{
    EXPECT_EQ(directInputCodeOfSdlScancode(-1), 0);
    EXPECT_EQ(directInputCodeOfSdlScancode(SDL_NUM_SCANCODES), 0);
    EXPECT_EQ(directInputCodeOfSdlScancode(SDL_SCANCODE_AUDIONEXT), 0);
    EXPECT_EQ(directInputCodeOfEvdev(0), 0);
    EXPECT_EQ(directInputCodeOfEvdev(KEY_MUTE), 0);
}

} // namespace
} // namespace torvane
