#include <gtest/gtest.h>

#include "app/watch_clock.h"

namespace torvane {
namespace {

// Recorded frames played over displayed frames of displaySeconds, each recorded frame recordedSeconds long.
int framesPlayed(WatchClock& clock, int displayedFrames, float displaySeconds, float recordedSeconds)
{
    int played = 0;
    for (int frame = 0; frame < displayedFrames; ++frame) {
        clock.beginDisplayFrame(displaySeconds);
        while (clock.takeFrame(recordedSeconds)) {
            ++played;
        }
    }
    return played;
}

TEST(WatchClock, EachSpeedPlaysItsShareOfTheRecordedFramesWhateverTheDisplayRate)
{
    constexpr float kSixtieth = 1.0f / 60.0f;
    WatchClock clock;
    EXPECT_EQ(framesPlayed(clock, 120, kSixtieth, kSixtieth), 120) << "×1: one recorded frame per displayed frame";
    for (int step = 0; step < 3; ++step) { // ×2 and ×4 play two and four: DriveWatchTest.StepsSeeks...
        clock.faster();
    }
    EXPECT_STREQ(clock.speedLabel(), "×4") << "no faster than ×4";
    for (int step = 0; step < 6; ++step) {
        clock.slower();
    }
    EXPECT_STREQ(clock.speedLabel(), "×1/4");
    EXPECT_NEAR(framesPlayed(clock, 120, kSixtieth, kSixtieth), 30, 1) << "×1/4 holds each frame four times";
    clock.faster();
    EXPECT_NEAR(framesPlayed(clock, 120, kSixtieth, kSixtieth), 60, 1);

    // A 144 Hz display showing a 60 Hz recording at ×1 keeps its time.
    clock.faster();
    EXPECT_NEAR(framesPlayed(clock, 144, 1.0f / 144.0f, kSixtieth), 60, 1);
}

TEST(WatchClock, PausedPlaysNothingAndAStalledDisplayIsNotCaughtUp)
{
    WatchClock clock;
    clock.togglePlaying();
    EXPECT_FALSE(clock.isPlaying());
    EXPECT_EQ(framesPlayed(clock, 10, 0.02f, 0.02f), 0);
    clock.togglePlaying();
    EXPECT_LE(framesPlayed(clock, 1, 5.0f, 0.02f), 6) << "a 5 s stall plays at most 0.1 s";
    EXPECT_EQ(framesPlayed(clock, 1, 0.02f, 0.0f), kMostFramesPerDisplay) << "zero-length frames are bounded";
}

} // namespace
} // namespace torvane
