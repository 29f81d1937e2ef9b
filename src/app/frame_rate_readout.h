// FrameRateReadout: the frames per second and the mean frame time over the
// last half second, as one line of text for the screen. Formatting into a
// fixed buffer, it allocates nothing.
//
// Shortcomings: a mean, so single slow frames show only as a slightly longer mean.
#pragma once

namespace torvane {

class FrameRateReadout {
public:
    // Counts one frame that took seconds (as measured, before any cap).
    void record(float seconds);
    // The line, e.g. "60 images/s  16.7 ms"; empty until half a second has passed.
    const char* text() const { return line; }

private:
    static constexpr double kWindowSeconds = 0.5;
    double windowSeconds = 0.0;
    int windowFrames = 0;
    char line[48] = {};
};

} // namespace torvane
