#include "platform/desktop_gamepads.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/message_sink.h"

namespace torvane {
namespace {

// An axis as -1 .. 1 (sticks) or 0 .. 1 (triggers).
float axisValue(SDL_GameController* pad, SDL_GameControllerAxis axis)
{
    return static_cast<float>(SDL_GameControllerGetAxis(pad, axis)) / 32767.0f;
}

bool isOpen(const std::array<SDL_GameController*, DesktopGamepads::kMaxPads>& pads, SDL_JoystickID id)
{
    return std::any_of(pads.begin(), pads.end(), [id](SDL_GameController* pad) {
        return pad != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id;
    });
}

} // namespace

std::unique_ptr<DesktopGamepads> DesktopGamepads::create()
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        diagnose(std::string("game pads: SDL_InitSubSystem failed: ") + SDL_GetError());
        return nullptr;
    }
    std::unique_ptr<DesktopGamepads> gamepads(new DesktopGamepads);
    gamepads->refresh();
    return gamepads;
}

DesktopGamepads::~DesktopGamepads()
{
    for (SDL_GameController* pad : pads) {
        if (pad != nullptr) {
            SDL_GameControllerClose(pad);
        }
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void DesktopGamepads::refresh()
{
    for (SDL_GameController*& pad : pads) {
        if (pad != nullptr && !SDL_GameControllerGetAttached(pad)) {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    }
    knownJoystickCount = SDL_NumJoysticks();
    for (int index = 0; index < knownJoystickCount; ++index) {
        if (!SDL_IsGameController(index) || isOpen(pads, SDL_JoystickGetDeviceInstanceID(index))) {
            continue;
        }
        const auto slot = std::find(pads.begin(), pads.end(), nullptr);
        if (slot == pads.end()) {
            return;
        }
        *slot = SDL_GameControllerOpen(index);
    }
}

int DesktopGamepads::connectedCount() const
{
    return static_cast<int>(std::count_if(pads.begin(), pads.end(), [](SDL_GameController* pad) {
        return pad != nullptr;
    }));
}

PadSnapshot DesktopGamepads::read()
{
    SDL_GameControllerUpdate();
    const bool padLeft = std::any_of(pads.begin(), pads.end(), [](SDL_GameController* pad) {
        return pad != nullptr && !SDL_GameControllerGetAttached(pad);
    });
    if (padLeft || SDL_NumJoysticks() != knownJoystickCount) {
        refresh();
    }

    PadSnapshot snapshot;
    for (SDL_GameController* pad : pads) {
        if (pad == nullptr) {
            continue;
        }
        ++snapshot.connected;
        const float steering = axisValue(pad, SDL_CONTROLLER_AXIS_LEFTX);
        if (std::fabs(steering) > std::fabs(snapshot.steering)) {
            snapshot.steering = steering;
        }
        snapshot.accelerator = std::max(snapshot.accelerator, axisValue(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
        snapshot.brake = std::max(snapshot.brake, axisValue(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
        // PadButton follows SDL's button order from A to the D-pad.
        for (int button = SDL_CONTROLLER_BUTTON_A; button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT; ++button) {
            if (SDL_GameControllerGetButton(pad, static_cast<SDL_GameControllerButton>(button)) != 0) {
                snapshot.buttons |= 1u << static_cast<unsigned>(button);
            }
        }
    }
    return snapshot;
}

} // namespace torvane
