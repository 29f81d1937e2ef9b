// The player's settings file: what the game writes reads back the same, a
// mistake costs only its own key (named with file, line and key), unknown keys
// are named, a broken or oversized file keeps every default, and writing never
// leaves a half-written file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/file_contents.h"
#include "core/message_sink.h"
#include "core/settings.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

TEST(Settings, WrittenTextReadsBackTheSame)
{
    const Settings changed{.windowWidth = 1280, .windowHeight = 720, .fullscreen = true, .vsync = false,
                           .pauseOnFocusLoss = true, .backgroundKeys = true, .padDeadzone = 0.1, .padCurve = 2.0,
                           .recordingsKept = 3, .meshReaderMegabytes = 256, .meshReaderSeconds = 5,
                           .soundEnabled = false, .soundVolume = 0.5};
    const SettingsRead read = parseSettings(settingsText(changed), "settings.toml");
    EXPECT_EQ(read.problems, std::vector<std::string>{});
    EXPECT_TRUE(read.settings == changed);
    EXPECT_TRUE(parseSettings("", "s.toml").settings == Settings{});
}

TEST(Settings, AMistakeCostsOnlyItsOwnKey)
{
    const SettingsRead read = parseSettings("[window]\n"
                                            "width = 1024\n"
                                            "height = \"tall\"\n"
                                            "vsync = 1\n"
                                            "colour = \"red\"\n"
                                            "[gamepad]\n"
                                            "deadzone = 2.5\n"
                                            "curve = 2\n"
                                            "[sound]\n"
                                            "volume = 3\n"
                                            "[music]\n",
                                            "/home/p/settings.toml");
    EXPECT_EQ(read.settings.windowWidth, 1024);
    EXPECT_EQ(read.settings.windowHeight, 600);
    EXPECT_TRUE(read.settings.vsync);
    EXPECT_EQ(read.settings.padDeadzone, 0.15);
    EXPECT_EQ(read.settings.padCurve, 2.0) << "a whole number is a number";
    EXPECT_EQ(read.problems, (std::vector<std::string>{
                                 "/home/p/settings.toml:3: window.height: expected a whole number from 240 to "
                                 "16384; the default 600 is used",
                                 "/home/p/settings.toml:4: window.vsync: expected true or false; the default true "
                                 "is used",
                                 "/home/p/settings.toml:5: window.colour: unknown key, ignored",
                                 "/home/p/settings.toml:7: gamepad.deadzone: expected a number from 0 to 0.9; the "
                                 "default 0.15 is used",
                                 "/home/p/settings.toml:10: sound.volume: expected a number from 0 to 1; the "
                                 "default 0.8 is used",
                                 "/home/p/settings.toml:11: music: unknown key, ignored",
                             }));

    const SettingsRead broken = parseSettings("[window]\nwidth = = 3\n", "s.toml");
    EXPECT_TRUE(broken.settings == Settings{});
    ASSERT_EQ(broken.problems.size(), 1u);
    EXPECT_EQ(broken.problems[0].rfind("s.toml:2:", 0), 0u) << broken.problems[0];
}

TEST(Settings, FileIsWrittenWholeOrNotAtAll)
{
    namespace fs = std::filesystem;
    const ScratchFolder folder;
    const std::string path = folder / "torvane/settings.toml";
    EXPECT_TRUE(readSettingsFile(path).problems.empty()) << "no file: the defaults, silently";

    // A link where a fixed temporary name would be is neither followed nor left.
    Settings settings;
    settings.recordingsKept = 7;
    fs::create_directories(folder / "torvane");
    std::ofstream(folder / "kept.txt") << "kept";
    fs::create_symlink(folder / "kept.txt", path + ".new");
    ASSERT_TRUE(writeSettingsFile(path, settings)) << "the folder is made";
    EXPECT_EQ(readSettingsFile(path).settings.recordingsKept, 7);
    EXPECT_EQ(readFileContents((folder / "kept.txt").c_str()).value_or(""), "kept");
    fs::remove(path + ".new");

    // A file too big to be settings is not parsed: a dotted key of 200,000 levels
    // (400 KB) overflowed the stack inside the TOML parser.
    std::string deepKey = "a";
    for (int level = 1; level < 200000; ++level) {
        deepKey += ".a";
    }
    std::ofstream(path) << deepKey << " = 1\n";
    const std::string tooLarge = ": larger than 16 KiB; every setting keeps its default";
    EXPECT_EQ(readSettingsFile(path).problems, std::vector<std::string>{path + tooLarge});
    EXPECT_EQ(parseSettings(deepKey, "s.toml").problems, std::vector<std::string>{"s.toml" + tooLarge});

    // A folder where the file should be: nothing replaced, the failure named.
    ScopedMessageCapture messages;
    fs::remove(path);
    fs::create_directories(path);
    EXPECT_FALSE(writeSettingsFile(path, settings));
    EXPECT_EQ(messages.diagnostics(), std::vector<std::string>{path + ": cannot be written"});
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "torvane"), fs::directory_iterator()), 1)
        << "no temporary left";
}

} // namespace
} // namespace torvane
