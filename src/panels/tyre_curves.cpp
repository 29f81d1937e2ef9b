#include "panels/tyre_curves.h"

#include <cmath>

namespace torvane {

float TyreCurve::slipAt(std::size_t index) const
{
    const float step = 2.0f * span / static_cast<float>(kCurveSamples - 1);
    return -span + step * static_cast<float>(index);
}

void sampleTyreCurves(const Car& car, float load, WheelCurves& out)
{
    out.lateral.span = kSlipAngleSpan;
    out.longitudinal.span = kSlipRatioSpan;
    for (std::size_t index = 0; index < kCurveSamples; ++index) {
        out.lateral.force[index] = car.lateralTyreForce(out.lateral.slipAt(index), load);
        out.longitudinal.force[index] = car.longitudinalTyreForce(out.longitudinal.slipAt(index), load);
    }
}

void readOperatingPoint(const Car& car, int wheel, WheelOperatingPoint& now)
{
    const float load = car.getWheelLoad(wheel);
    now.slipAngle = car.getSlipAngle(wheel);
    now.slipRatio = car.getSlipRatio(wheel);
    now.lateralForce = car.getLateralForce(wheel);
    now.longitudinalForce = car.getLongitudinalForce(wheel);
    now.lateralOnCurve = car.lateralTyreForce(now.slipAngle, load);
    now.longitudinalOnCurve = car.longitudinalTyreForce(now.slipRatio, load);
    now.load = load;
    now.gripLimit = car.gripLimit(load);
    now.gripUsed = now.gripLimit > 0.0f ? std::hypot(now.lateralForce, now.longitudinalForce) / now.gripLimit : 0.0f;
}

} // namespace torvane
