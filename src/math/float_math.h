// Single-precision wrappers of the standard maths functions. Each widens its
// argument to double, calls the double-precision function and rounds the result
// to float, so every platform computes the same 32-bit values.
//
// Inside namespace torvane these names hide the C library's float versions,
// which may round differently in the last bit.
#pragma once

#include <cmath>

namespace torvane {

inline float cosf(float radians) { return static_cast<float>(std::cos(static_cast<double>(radians))); }
inline float sinf(float radians) { return static_cast<float>(std::sin(static_cast<double>(radians))); }
inline float atanf(float x) { return static_cast<float>(std::atan(static_cast<double>(x))); }
inline float sqrtf(float x) { return static_cast<float>(std::sqrt(static_cast<double>(x))); }
inline float fabsf(float x) { return static_cast<float>(std::fabs(static_cast<double>(x))); }

// -1 for negative values, +1 otherwise: zero and -0 give +1, NaN gives -1.
inline float signOf(float x)
{
    if (x >= 0.0f) {
        return 1.0f;
    }
    return -1.0f;
}

// π and the angles derived from it, as the 32-bit constants the simulation uses.
inline constexpr float kPi = 3.1415927f;
inline constexpr float kHalfPi = 1.5707964f;
inline constexpr float kTwoPi = 6.2831855f;
inline constexpr float kDegreesPerRadian = 57.295776f;

} // namespace torvane
