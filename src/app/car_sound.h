// What the player's car sounds like in a frame: the SoundFrame the sound layer
// plays, made from the car, the walls' last impact and the camera (the
// listener). The engine has no state of its own: its revs follow the driven
// wheels' speed. A tyre slides as far as its slip ratio or slip angle is past
// the default tyres' peak, and squeals louder the more of its friction circle
// it uses.
//
// Shortcomings: one gear; every wheel counts as driven (the model drives all
// four); the tyres' peaks are fixed figures, not taken from the car file's curves.
#pragma once

#include "sound/sound_frame.h"

namespace torvane {

struct Game;

// The engine's idle and redline, rev/min.
inline constexpr float kIdleRpm = 900.0f;
inline constexpr float kRedlineRpm = 7000.0f;
// The driven wheels' speed (rad/s) at which the engine reaches its redline:
// about where full throttle holds them.
inline constexpr float kRedlineWheelSpeed = 3700.0f;

// The engine's revs at a driven-wheel speed of wheelSpeed rad/s: idle at rest,
// rising with the square root of the speed (so the few hundred rad/s of a car
// that grips sweep the lower revs, the spin of full throttle the top) up to the redline.
float engineRpm(float wheelSpeed);

// How far a tyre is past its grip, 0..1, from its slip ratio, its slip angle
// (degrees) and the share of its friction circle in use (0..1).
float tyreSlide(float slipRatio, float slipAngle, float circleShare);

// The game's SoundFrame as it stands after its frame.
SoundFrame carSoundFrame(const Game& game);

} // namespace torvane
