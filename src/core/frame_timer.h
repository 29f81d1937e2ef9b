// FrameTimer: measures each frame's time as the ticks since the previous
// frame times the length of one tick. It prefers a high-resolution counter and
// falls back to a millisecond clock, whose frame times are whole milliseconds
// (two frames within one millisecond give 0). Frame times are neither clamped
// nor smoothed here: a long stall yields one long frame, which the game caps
// before simulating it (simulatedFrameTime, app/game.h).
#pragma once

#include <cstdint>

namespace torvane {

// A clock read through plain functions, so tests can drive it by hand.
struct ClockSource {
    // Ticks per second of the high-resolution counter; 0 when there is none.
    std::uint64_t (*performanceFrequency)();
    std::uint64_t (*performanceCounter)();
    // The 32-bit millisecond count of the fallback clock.
    std::uint32_t (*milliseconds)();
};

class FrameTimer {
public:
    // Chooses the clock and reads it once: the first frame measures from here.
    explicit FrameTimer(ClockSource clock);

    bool usesPerformanceCounter() const { return usePerformanceCounter; }
    float getSecondsPerTick() const { return secondsPerTick; }
    // Seconds since the previous call (or since construction).
    float nextFrameTime();

private:
    std::int64_t readClock() const;

    ClockSource clock;
    bool usePerformanceCounter = false;
    float secondsPerTick = 0.001f;
    std::int64_t lastTime = 0;
};

} // namespace torvane
