// Random drives for soak runs: a key script and a sequence of frame times drawn
// from a seed. The same seed gives the same drive on every machine: both use
// std::mt19937_64, whose output the C++ standard fixes, and map it to ranges
// without the library's distributions, whose output it does not fix.
//
// Shortcomings: the drive never holds Escape, so it runs all its frames; the
// key patterns are plain chance, not a driver's intent (the car mostly
// accelerates and wanders, and meets a wall now and then).
#pragma once

#include <cstdint>
#include <random>

#include "input/key_script.h"

namespace torvane {

// Frames 1..frames cut into spans of 1 to 60 frames, each holding a random set
// of the script keys other than Escape: Up most of the time, steering and
// Down often, the camera and brake keys now and then.
KeyScript randomKeyScript(std::uint64_t seed, int frames);

// Frame times drawn uniformly from [minimum, maximum] seconds; with minimum ==
// maximum every frame time is exactly that value.
class RandomFrameTimes {
public:
    RandomFrameTimes(std::uint64_t seed, float minimum, float maximum);
    // The next frame time, seconds.
    float next();

private:
    std::mt19937_64 generator;
    float minimum;
    float maximum;
};

} // namespace torvane
