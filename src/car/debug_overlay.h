// The debug overlay: the player car's forces, slips, wheel speeds, yaw state
// and velocities printed as white text over the top-left corner of the
// picture, every frame, as the previous frame's physics step left them.
// Numbers are printed without decimals, so slip ratios and angles in radians
// show as whole numbers.
#pragma once

#include "car/car.h"

namespace torvane {

class GraphicsDevice;

// The three texts, formatted in full into fixed buffers (no allocation).
struct OverlayTexts {
    // Six rows: Fx, Fy, SS (slip angle, degrees), SR (slip ratio), w (wheel
    // speed), then aa (yaw acceleration), va (yaw rate), an (heading).
    char forces[1536];
    // The forward acceleration figure.
    char acceleration[64];
    // Forward (vx) and sideways (vz) speed in the car's frame.
    char velocity[128];
};

void formatOverlayTexts(const Car& car, OverlayTexts& texts);

// Draws the three texts inside the rectangle (0, 0)-(500, 500): the forces
// from the top-left corner, the acceleration right-aligned on the first row,
// the velocity with its bottom on y = 500.
void drawDebugOverlay(GraphicsDevice& device, const Car& car);

} // namespace torvane
