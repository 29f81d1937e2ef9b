// The forward axis of an object turned by a heading: its local -z side, which is
// a car's front. Shared by the footprint, the contact test, the response and the
// camera so that all of them use one float form of it.
#pragma once

#include "math/float_math.h"
#include "math/vector3.h"

namespace torvane {

// Unit forward axis (-sin h, 0, -cos h) of heading h (radians). Kept in the form
// cos(h + π/2), sin(h - π/2) with the 32-bit π/2 because that is the float
// arithmetic the golden traces were recorded with: at h = 0 its x is about
// -4.4e-8, not the 0 that -sin h would give.
inline Vector3 forwardAxis(float heading)
{
    return Vector3(cosf(heading + kHalfPi), 0.0f, sinf(heading - kHalfPi));
}

} // namespace torvane
