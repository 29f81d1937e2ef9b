// The tyre force model: Magic-Formula curves D·sin(S·atan(x + E·(atan x − x)))
// for the longitudinal and lateral force of one tyre, and the grip limit D.
#include "car/car.h"

#include "math/float_math.h"

namespace torvane {

float Car::gripLimit(float fz)
{
    return 1.688f * fz;
}

float Car::longitudinalTyreForce(float slipRatio, float fz)
{
    // D is the grip limit itself, so |force| never exceeds gripLimit(fz).
    const float d = gripLimit(fz);
    const float x = 0.0822f * (100.0f * slipRatio);
    const float e = -10.0f;
    return d * sinf(1.65f * atanf(x + e * (atanf(x) - x)));
}

float Car::lateralTyreForce(float slipAngleDegrees, float fz)
{
    const float e = 1.0f - 0.3589f * fz / 1000.0f;
    const float b = 1363.32f * sinf(2.0f * atanf(fz / 6024.0f)) / fz;
    const float x = slipAngleDegrees * b;
    const float d = gripLimit(fz);
    return d * sinf(1.799f * atanf(x + e * (atanf(x) - x)));
}

} // namespace torvane
