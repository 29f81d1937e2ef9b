#include "app/frame_rate_readout.h"

#include <cstdio>

#include "core/player_messages.h"

namespace torvane {

void FrameRateReadout::record(float seconds)
{
    windowSeconds += static_cast<double>(seconds);
    ++windowFrames;
    if (windowSeconds < kWindowSeconds) {
        return;
    }
    const double meanSeconds = windowSeconds / windowFrames;
    std::snprintf(line, sizeof line, kFrameRateFormat, 1.0 / meanSeconds, meanSeconds * 1000.0);
    windowSeconds = 0.0;
    windowFrames = 0;
}

} // namespace torvane
