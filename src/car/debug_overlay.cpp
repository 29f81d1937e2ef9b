#include "car/debug_overlay.h"

#include <cstdio>

#include "render/graphics_device.h"

namespace torvane {
namespace {

constexpr TextRect kOverlayRect{0, 0, 500, 500};
constexpr std::uint32_t kOverlayColour = 0xFFFFFFFF;

double wheelValue(float (Car::*getter)(int) const, const Car& car, int wheel)
{
    return static_cast<double>((car.*getter)(wheel));
}

} // namespace

void formatOverlayTexts(const Car& car, OverlayTexts& texts)
{
    const Vector3 local = car.getLocalVelocity();
    std::snprintf(texts.velocity, sizeof texts.velocity, "vx=%0.f vz=%0.f", static_cast<double>(local.x * 1.0f),
                  static_cast<double>(local.y * 1.0f));

    auto w = [&car](float (Car::*getter)(int) const, int wheel) { return wheelValue(getter, car, wheel); };
    std::snprintf(texts.forces, sizeof texts.forces,
                  "Fx1=%.0f Fx2=%.0f Fx3=%.0f Fx4=%.0f \n Fy1=%.0f Fy2=%.0f Fy3=%.0f Fy4=%.0f \n"
                  " SS=%.0f SS=%.0f SS=%.0f SS=%.0f \n SR=%.0f SR=%.0f SR=%.0f SR=%.0f \n"
                  " w1=%.0f w2=%.0f w3=%.0f w4=%.0f \n aa=%.0f va=%.0f an=%.0f ",
                  w(&Car::getLongitudinalForce, 0), w(&Car::getLongitudinalForce, 1),
                  w(&Car::getLongitudinalForce, 2), w(&Car::getLongitudinalForce, 3), w(&Car::getLateralForce, 0),
                  w(&Car::getLateralForce, 1), w(&Car::getLateralForce, 2), w(&Car::getLateralForce, 3),
                  w(&Car::getSlipAngle, 0), w(&Car::getSlipAngle, 1), w(&Car::getSlipAngle, 2),
                  w(&Car::getSlipAngle, 3), w(&Car::getSlipRatio, 0), w(&Car::getSlipRatio, 1),
                  w(&Car::getSlipRatio, 2), w(&Car::getSlipRatio, 3), w(&Car::getWheelSpeed, 0),
                  w(&Car::getWheelSpeed, 1), w(&Car::getWheelSpeed, 2), w(&Car::getWheelSpeed, 3),
                  w(&Car::getAngularReadout, 0), w(&Car::getAngularReadout, 1), w(&Car::getAngularReadout, 2));

    std::snprintf(texts.acceleration, sizeof texts.acceleration, " %.0f ",
                  static_cast<double>(car.getLongitudinalAccelerationReadout() * 1.0f));
}

void drawDebugOverlay(GraphicsDevice& device, const Car& car)
{
    if (device.isSilent()) {
        return; // nothing would show the texts: their formatting is the frame's dearest part then
    }
    OverlayTexts texts;
    formatOverlayTexts(car, texts);
    device.drawText(texts.forces, kOverlayRect, kTextLeftTop, kOverlayColour);
    device.drawText(texts.acceleration, kOverlayRect, kTextRight, kOverlayColour);
    device.drawText(texts.velocity, kOverlayRect, kTextBottom, kOverlayColour);
}

} // namespace torvane
