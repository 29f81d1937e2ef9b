// The game's command line: the options it takes, and bad ones refused with
// status 2 before anything starts.
#include <gtest/gtest.h>

#include <vector>

#include "app/game_options.h"

namespace torvane {
namespace {

ParsedGameOptions parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "torvane");
    return parseGameOptions(static_cast<int>(args.size()), args.data());
}

TEST(GameOptions, TakesEveryOption)
{
    const ParsedGameOptions none = parse({});
    EXPECT_FALSE(none.exitStatus);
    EXPECT_FALSE(none.options.fullscreen || none.options.backgroundKeys);
    EXPECT_TRUE(none.options.vsync);
    EXPECT_EQ(none.options.windowWidth, 800);

    const ParsedGameOptions all =
        parse({"--fullscreen", "--window-size", "1024x768", "--data", ".", "--background-keys", "--no-vsync"});
    ASSERT_FALSE(all.exitStatus);
    EXPECT_TRUE(all.options.fullscreen && all.options.backgroundKeys);
    EXPECT_FALSE(all.options.vsync);
    EXPECT_EQ(all.options.windowWidth, 1024);
    EXPECT_EQ(all.options.windowHeight, 768);
    EXPECT_EQ(all.options.dataDir, ".");
}

TEST(GameOptions, BadOptionsEndWithStatusTwo)
{
    testing::internal::CaptureStderr();
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"--turbo"}, {"--window-size", "big"}, {"--window-size", "100x100000"}, {"--window-size"},
             {"--data", "/no/such/folder"}, {"extra"}, {"--fullscreen=maybe"}}) {
        EXPECT_EQ(parse(args).exitStatus, 2) << args[0];
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("--turbo"), std::string::npos) << said;
    EXPECT_NE(said.find("WIDTHxHEIGHT"), std::string::npos) << said;

    testing::internal::CaptureStdout();
    EXPECT_EQ(parse({"--help"}).exitStatus, 0);
    EXPECT_EQ(parse({"--version"}).exitStatus, 0);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("--background-keys"), std::string::npos);
    EXPECT_NE(printed.find("torvane 0.1.0"), std::string::npos);
}

} // namespace
} // namespace torvane
