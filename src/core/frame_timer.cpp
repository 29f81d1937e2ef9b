#include "core/frame_timer.h"

namespace torvane {

FrameTimer::FrameTimer(ClockSource source) : clock(source)
{
    const std::uint64_t frequency = clock.performanceFrequency();
    usePerformanceCounter = frequency != 0;
    if (usePerformanceCounter) {
        secondsPerTick = static_cast<float>(1.0 / static_cast<double>(frequency));
    }
    lastTime = readClock();
}

std::int64_t FrameTimer::readClock() const
{
    if (usePerformanceCounter) {
        return static_cast<std::int64_t>(clock.performanceCounter());
    }
    return static_cast<std::int64_t>(clock.milliseconds());
}

float FrameTimer::nextFrameTime()
{
    const std::int64_t now = readClock();
    std::int64_t ticks = now - lastTime;
    if (!usePerformanceCounter) {
        // The millisecond count wraps every 49.7 days; the difference must not.
        ticks = static_cast<std::uint32_t>(ticks);
    }
    lastTime = now;
    return static_cast<float>(static_cast<double>(ticks) * static_cast<double>(secondsPerTick));
}

} // namespace torvane
