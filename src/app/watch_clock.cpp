#include "app/watch_clock.h"

#include <algorithm>

namespace torvane {

void WatchClock::togglePlaying()
{
    playing = !playing;
    settle();
}

void WatchClock::faster()
{
    speedIndex = std::min(speedIndex + 1, kWatchSpeedCount - 1);
}

void WatchClock::slower()
{
    speedIndex = std::max(speedIndex - 1, 0);
}

const char* WatchClock::speedLabel() const
{
    constexpr const char* kLabels[kWatchSpeedCount] = {"×1/4", "×1/2", "×1", "×2", "×4"};
    return kLabels[speedIndex];
}

void WatchClock::beginDisplayFrame(float displaySeconds)
{
    takenThisFrame = 0;
    if (!playing) {
        return;
    }
    owed = std::min(owed + displaySeconds * speed(), kMostOwedSeconds * speed());
}

bool WatchClock::takeFrame(float frameSeconds)
{
    if (!playing || takenThisFrame >= kMostFramesPerDisplay || owed < 0.5f * frameSeconds) {
        return false;
    }
    owed -= frameSeconds;
    ++takenThisFrame;
    return true;
}

} // namespace torvane
