// The game's command line: its options, and mistakes named for exit status 2.
#include <gtest/gtest.h>

#include <vector>

#include "app/game_options.h"

namespace torvane {
namespace {

ParsedGameOptions parse(std::vector<std::string_view> args)
{
    return parseGameOptions(args);
}

TEST(GameOptions, ReadsOptionsAndNamesMistakes)
{
    const ParsedGameOptions sound = parse({"--data", "/opt/city", "--frames=30"});
    ASSERT_EQ(sound.error, "");
    EXPECT_EQ(sound.options.dataDir, "/opt/city");
    EXPECT_EQ(sound.options.frames, 30);
    EXPECT_FALSE(parse({}).options.frames);
    EXPECT_TRUE(parse({"--version"}).options.version);
    EXPECT_NE(gameUsage().find("--data DIR"), std::string::npos);

    EXPECT_EQ(parse({"--turbo"}).error, "unknown option '--turbo' (try --help)");
    EXPECT_EQ(parse({"--data", ""}).error, "--data needs a non-empty value");
    EXPECT_NE(parse({"--frames", "0"}).error, "");
    EXPECT_NE(parse({"--frames", "ten"}).error, "");
    EXPECT_NE(parse({"--data"}).error, "");
}

} // namespace
} // namespace torvane
