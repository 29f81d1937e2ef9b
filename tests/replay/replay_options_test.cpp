// The replay tool's command line and its screenshot names: sound options,
// every kind of mistake with its message, and patterns that printf cannot misuse.
#include <gtest/gtest.h>

#include <vector>

#include "replay/frame_path.h"
#include "replay/replay_options.h"

namespace torvane {
namespace {

ParsedReplayOptions parse(std::vector<std::string_view> args)
{
    return parseReplayOptions(args);
}

// The options a drive uses are read end to end by replay_tool_test.py and the golden drives.
TEST(ReplayOptions, ReadsTheLargestSeedHelpAndVersion)
{
    const ParsedReplayOptions soak = parse({"--random-keys", "--frames", "1", "--seed", "18446744073709551615"});
    ASSERT_EQ(soak.error, "");
    EXPECT_EQ(soak.options.seed, 18446744073709551615u);
    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_TRUE(parse({"--version"}).options.version);
}

TEST(ReplayOptions, MistakesAreNamed)
{
    const std::string dtRange = "--dt-range 0.05 0.01: expected seconds such as 0.02 or 1/60, not negative, the smaller first";
    const std::string recorded = " exclude each other: the recording holds its keys and frame times";
    const std::pair<std::vector<std::string_view>, std::string> rows[] = {
        {{"--keys", "k", "--fast"}, "unknown option '--fast' (try --help)"},
        {{"--keys"}, "--keys: 1 required TEXT missing (try --help)"},
        {{"--keys", "k", "extra"}, "unexpected word 'extra' (try --help)"},
        {{"--keys", ""}, "--keys needs a non-empty value"},
        {{"--frames", "-1"}, "--frames -1: expected a whole number from 0"},
        {{"--frames", "99999999999"}, "--frames 99999999999: expected a whole number from 0"},
        {{"--keys", "k", "--png-every", "0"}, "--png-every 0: expected a whole number from 1"},
        {{"--frames", "1", "--seed", "x"}, "--seed x: expected a whole number from 0 to 18446744073709551615"},
        {{"--frames", "1", "--dt-range", "0.05", "0.01"}, dtRange},
        {{"--frames", "1", "--dt-range", "0.01"}, "--dt-range: At least 2 required but received 1 (try --help)"},
        {{"--frames", "1", "--dt", "0.01", "--dt-range", "0", "1"}, "--dt and --dt-range exclude each other"},
        {{"--keys", "k", "--random-keys"}, "--keys and --random-keys exclude each other"},
        {{"--random-keys"}, "--frames N is needed without --keys"},
        {{"--keys", "k", "--no-render", "--png", "a%d.png"}, "--png needs rendering: drop --no-render"},
        {{"--keys", "k", "--png", "shot.png"}, "--png shot.png: expected one %d, %6d or %06d for the frame number (%% for a %)"},
        // A recorded drive brings its own keys and frame times.
        {{"--replay", "d.tvr", "--dt", "0.01"}, "--replay and --dt" + recorded},
        {{"--replay", "d.tvr", "--keys", "k"}, "--replay and --keys" + recorded},
        {{"--keys", "k", "--export-keys", "e.keys"}, "--export-keys needs --replay"},
        {{"--replay", "d.tvr", "--car", "c.toml", "--export-keys", "e.keys", "--csv", "-"}, ""},
    };
    for (const auto& [args, error] : rows) {
        EXPECT_EQ(parse(args).error, error) << error;
    }
    for (const char* bad : {"-0.1", "1/0", "nan", "inf", "1e39", "0.1s", ""}) {
        EXPECT_NE(parse({"--frames", "1", "--dt", bad}).error, "") << bad;
    }
}

TEST(FramePath, WritesTheFrameIntoOneConversion)
{
    EXPECT_EQ(formatFramePath("shots/f%06d.png", 42), "shots/f000042.png");
    EXPECT_EQ(formatFramePath("%d", 7), "7");
    EXPECT_EQ(formatFramePath("100%%_%3d", 7), "100%_  7");
    for (const char* bad : {"plain.png", "%d%d", "%s", "%n", "%x", "%123d", "%-3d", "%", "a%06", "%ld"}) {
        EXPECT_FALSE(formatFramePath(bad, 1)) << bad;
    }
}

} // namespace
} // namespace torvane
