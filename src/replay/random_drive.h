// Random drives for soak runs: a key script and a sequence of frame times drawn
// from a seed. The same seed gives the same drive on every machine: both use
// std::mt19937_64, whose output the C++ standard fixes, and map it to ranges
// without the library's distributions, whose output it does not fix.
//
// Shortcomings: the drive never holds Escape, so it runs all its frames; the
// key patterns are plain chance, not a driver's intent (the car mostly
// accelerates and wanders, and meets a wall now and then).
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <random>

#include "input/key_script.h"

namespace torvane {

// Frames 1..frames cut into spans of 1 to 60 frames, each holding a random set
// of the script keys other than Escape: Up most of the time, steering and
// Down often, the camera and brake keys now and then. Spans that hold no key
// are left out. Drawn one at a time, so a drive of any length costs the same.
class RandomKeySpans {
public:
    RandomKeySpans(std::uint64_t seed, int frames);
    // The next span in frame order; nothing past the last frame.
    std::optional<KeySpan> next();

private:
    std::mt19937_64 generator;
    int lastFrame;
    int nextFirst = 1;
    bool finished = false;
};

// All the spans of a random drive at once, for a short one.
KeyScript randomKeyScript(std::uint64_t seed, int frames);

// Plays a random drive frame by frame, frames asked in increasing order, in
// constant memory.
class RandomKeyPlayer {
public:
    RandomKeyPlayer(std::uint64_t seed, int frames);
    // The keys held in frame (from 1), indexed by key code.
    std::bitset<kKeyCount> keysHeldIn(int frame);

private:
    RandomKeySpans spans;
    std::optional<KeySpan> current;
};

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
