// Random drives: the script covers the frames without Escape. That a seed
// repeats its drive, and its frame times spread over their range, is checked
// on the replay tool's output (test_seeded_random_drives_repeat_with_...).
#include <limits>

#include <gtest/gtest.h>

#include "replay/random_drive.h"

namespace torvane {
namespace {

TEST(RandomDrive, KeyScriptCoversTheFramesWithoutEscape)
{
    const KeyScript script = randomKeyScript(7, 5000);
    EXPECT_LE(lastScriptFrame(script), 5000);
    EXPECT_GT(lastScriptFrame(script), 4900);
    int previousLast = 0;
    int upHeld = 0;
    for (const KeySpan& span : script.spans) {
        EXPECT_GT(span.first, previousLast);
        EXPECT_LE(span.last - span.first, 59);
        for (KeyCode code : span.keys) {
            EXPECT_NE(code, kKeyEscape);
        }
        previousLast = span.last;
    }
    for (int frame = 1; frame <= 5000; ++frame) {
        upHeld += keysHeldInFrame(script, frame)[kKeyUp] ? 1 : 0;
    }
    EXPECT_GT(upHeld, 3000);
    EXPECT_LT(upHeld, 4000);
    EXPECT_TRUE(randomKeyScript(7, 0).spans.empty());
}

// The drive is drawn as it is played: the same keys as the whole script, in
// constant memory, up to the last frame an int can count.
TEST(RandomDrive, PlayedSpanBySpanItHoldsTheScriptsKeys)
{
    const KeyScript script = randomKeyScript(11, 3000);
    KeyScriptPlayer fromScript(script);
    RandomKeyPlayer played(11, 3000);
    for (int frame = 1; frame <= 3000; ++frame) {
        ASSERT_EQ(played.keysHeldIn(frame), fromScript.keysHeldIn(frame)) << frame;
    }
    EXPECT_TRUE(played.keysHeldIn(3001).none());

    constexpr int kLast = std::numeric_limits<int>::max();
    RandomKeyPlayer endless(11, kLast);
    EXPECT_EQ(endless.keysHeldIn(1), fromScript.keysHeldIn(1));
}

} // namespace
} // namespace torvane
