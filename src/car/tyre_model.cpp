// The tyre force model: Magic-Formula curves D·sin(S·atan(x + E·(atan x − x)))
// for the longitudinal and lateral force of one tyre, and the grip limit D,
// with the coefficients of the car's TyreParameters.
#include "car/car.h"

#include "math/float_math.h"

namespace torvane {

float Car::gripLimit(float fz) const
{
    return parameters.tyres.gripFactor * fz;
}

float Car::longitudinalTyreForce(float ratio, float fz) const
{
    const TyreParameters& tyres = parameters.tyres;
    // D is the grip limit itself, so |force| never exceeds gripLimit(fz).
    const float d = gripLimit(fz);
    const float x = tyres.longitudinalStiffness * (100.0f * ratio);
    const float e = tyres.longitudinalCurvature;
    return d * sinf(tyres.longitudinalShape * atanf(x + e * (atanf(x) - x)));
}

float Car::lateralTyreForce(float slipAngleDegrees, float fz) const
{
    const TyreParameters& tyres = parameters.tyres;
    const float e = 1.0f - tyres.lateralCurvaturePerLoad * fz / 1000.0f;
    const float b = tyres.lateralStiffnessPeak * sinf(2.0f * atanf(fz / tyres.lateralStiffnessLoad)) / fz;
    const float x = slipAngleDegrees * b;
    const float d = gripLimit(fz);
    return d * sinf(tyres.lateralShape * atanf(x + e * (atanf(x) - x)));
}

} // namespace torvane
