#include <gtest/gtest.h>

#include "core/frame_timer.h"

namespace torvane {
namespace {

std::uint64_t fakeFrequency = 0;
std::uint64_t fakeCounter = 0;
std::uint32_t fakeMilliseconds = 0;

std::uint64_t frequency() { return fakeFrequency; }
std::uint64_t counter() { return fakeCounter; }
std::uint32_t milliseconds() { return fakeMilliseconds; }

TEST(FrameTimer, MeasuresFromConstructionWithTheCounter)
{
    fakeFrequency = 1'000'000;
    fakeCounter = 5'000'000;
    FrameTimer timer({frequency, counter, milliseconds});
    EXPECT_TRUE(timer.usesPerformanceCounter());
    fakeCounter += 16'667;
    EXPECT_FLOAT_EQ(timer.nextFrameTime(), 0.016667f);
    EXPECT_EQ(timer.nextFrameTime(), 0.0f);
}

TEST(FrameTimer, MillisecondFallbackGivesWholeMillisecondsAcrossTheWrap)
{
    fakeFrequency = 0;
    fakeMilliseconds = 0xFFFFFFF0u;
    FrameTimer timer({frequency, counter, milliseconds});
    EXPECT_FALSE(timer.usesPerformanceCounter());
    EXPECT_EQ(timer.nextFrameTime(), 0.0f); // two frames within one millisecond
    fakeMilliseconds += 7;
    EXPECT_FLOAT_EQ(timer.nextFrameTime(), 0.007f);
    fakeMilliseconds += 0x20; // the 32-bit count wraps to a small value
    EXPECT_FLOAT_EQ(timer.nextFrameTime(), 0.032f);
}

} // namespace
} // namespace torvane
