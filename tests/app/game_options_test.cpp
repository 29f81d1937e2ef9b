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
    EXPECT_EQ(parse({"--replay", "a.tvr", "--ghost", "b.tvr"}).options.ghostFile, "b.tvr");
    EXPECT_EQ(parse({"--ghost", ""}).error, "--ghost needs a non-empty value");
}

TEST(GameOptions, WindowAndKeyboardChoicesWinOverTheSettings)
{
    const ParsedGameOptions all =
        parse({"--fullscreen", "--window-size", "1024x768", "--background-keys", "--no-vsync"});
    ASSERT_EQ(all.error, "");
    const Settings chosen = withOptions(Settings{}, all.options);
    EXPECT_TRUE(chosen.fullscreen && chosen.backgroundKeys);
    EXPECT_FALSE(chosen.vsync);
    EXPECT_EQ(chosen.windowWidth, 1024);
    EXPECT_EQ(chosen.windowHeight, 768);

    Settings fromFile;
    fromFile.windowWidth = 1280;
    fromFile.backgroundKeys = true;
    EXPECT_EQ(withOptions(fromFile, parse({}).options), fromFile);

    for (std::string_view size : {"big", "100x100000", "1024x", "1024x100", "-800x600", "800x600x2"}) {
        const std::string error = parse({"--window-size", size}).error;
        EXPECT_NE(error.find("--window-size"), std::string::npos) << size << ": " << error;
    }
    EXPECT_NE(parse({"--fullscreen=maybe"}).error, "");
}

} // namespace
} // namespace torvane
