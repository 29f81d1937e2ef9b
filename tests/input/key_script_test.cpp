// Key scripts: the lines a drive is written in, the errors a bad line gives
// (with its line number) and the keys held in a frame. Recorded frames written
// as a script are driven again in the app's tests (DriveRecording).
#include <gtest/gtest.h>

#include "input/key_script.h"

namespace torvane {
namespace {

std::string errorOf(std::string_view text)
{
    const ParsedKeyScript parsed = parseKeyScript(text);
    EXPECT_TRUE(parsed.script.spans.empty()) << "a script with an error keeps no spans";
    return parsed.error ? std::to_string(parsed.error->lineNumber) + ": " + parsed.error->message : "no error";
}

TEST(KeyScript, SpansHoldTheirKeysFromFirstToLastFrame)
{
    const ParsedKeyScript parsed = parseKeyScript("# a comment line\r\n"
                                                  "\n"
                                                  "  1 10\tUp   # accelerate\r\n"
                                                  "5 5 Left RCtrl Left\n"
                                                  "8 12 Escape F8 Down");
    ASSERT_FALSE(parsed.error) << parsed.error->message;
    ASSERT_EQ(parsed.script.spans.size(), 3u);
    EXPECT_EQ(lastScriptFrame(parsed.script), 12);

    EXPECT_TRUE(keysHeldInFrame(parsed.script, 0).none());
    EXPECT_EQ(keysHeldInFrame(parsed.script, 1).count(), 1u);
    EXPECT_TRUE(keysHeldInFrame(parsed.script, 10)[kKeyUp]);
    EXPECT_FALSE(keysHeldInFrame(parsed.script, 11)[kKeyUp]);
    const auto frame5 = keysHeldInFrame(parsed.script, 5);
    EXPECT_TRUE(frame5[kKeyUp] && frame5[kKeyLeft] && frame5[kKeyRightControl]);
    EXPECT_EQ(frame5.count(), 3u);
    // The names are the driving table's, which DesktopKeyboard.EveryDrivingKeyLandsAtItsCode... checks key by key.
    const auto frame9 = keysHeldInFrame(parsed.script, 9);
    EXPECT_TRUE(frame9[kKeyUp] && frame9[kKeyEscape] && frame9[kKeyF8] && frame9[kKeyDown]);
    EXPECT_EQ(frame9.count(), 4u);
    EXPECT_TRUE(keysHeldInFrame(parsed.script, 13).none());
}

TEST(KeyScript, PlayerFollowsOverlappingSpansForwardsAndBack)
{
    const KeyScript script = parseKeyScript("1 10 Up\n5 6 Up Left\n7 2147483647 Left\n").script;
    KeyScriptPlayer player(script);
    std::string seen;
    for (int frame : {1, 5, 6, 7, 11, 2147483647, 3, 6}) {
        const auto held = player.keysHeldIn(frame);
        seen += std::to_string(held[kKeyUp]) + std::to_string(held[kKeyLeft]) + " ";
    }
    EXPECT_EQ(seen, "10 11 11 11 01 01 10 11 ");
}

TEST(KeyScript, BadLinesNameTheirLineAndWhatIsWrong)
{
    EXPECT_EQ(errorOf("1 2 Up\n\n3 4 up\n"), "3: unknown key 'up' (keys: Left Right Up Down RCtrl A Q Escape KP8 KP2 F1 to F8 V)");
    EXPECT_EQ(errorOf("5 4 Up"), "1: first frame 5 is after last frame 4");
    for (const std::string frame : {"0", "2147483648", "-3", "+1", "3.5"}) {
        const std::string line = frame == "0" || frame == "+1" ? frame + " 4 Up" : "1 " + frame + " Up";
        EXPECT_EQ(errorOf(line), "1: frame '" + frame + "' is not a whole number from 1 to 2147483647");
    }
    EXPECT_EQ(errorOf("# fine\n1 Up"), "2: expected FIRST LAST KEY..., frames from 1 and at least one key");
    EXPECT_EQ(errorOf("1 5 # Up"), "1: expected FIRST LAST KEY..., frames from 1 and at least one key");
    EXPECT_EQ(errorOf(std::string_view("1 2 \x01\xff" "Up", 8)), "1: unknown key '??Up' (keys: Left Right Up Down RCtrl A Q Escape KP8 KP2 F1 to F8 V)");
    EXPECT_EQ(errorOf("1 2 " + std::string(40, 'K')).substr(0, 44), "1: unknown key 'KKKKKKKKKKKKKKKKKKKKKKKK...'");
    EXPECT_EQ(errorOf(std::string_view("1 2 Up\0", 7)), "1: unknown key 'Up?' (keys: Left Right Up Down RCtrl A Q Escape KP8 KP2 F1 to F8 V)");
}

TEST(KeyScript, EmptyTextIsAnEmptyScript)
{
    for (std::string_view text : {"", "\n\n", "# nothing\n   \t\r\n"}) {
        const ParsedKeyScript parsed = parseKeyScript(text);
        EXPECT_FALSE(parsed.error);
        EXPECT_EQ(lastScriptFrame(parsed.script), 0);
    }
}

} // namespace
} // namespace torvane
