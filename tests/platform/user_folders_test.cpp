// The user's folders after the XDG rules: the variables when absolute, the
// fallbacks under $HOME otherwise, and the pictures folder of user-dirs.dirs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/user_folders.h"

namespace torvane {
namespace {

TEST(UserFolders, FollowTheXdgVariablesOrFallBackUnderHome)
{
    setenv("HOME", "/home/p", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    EXPECT_EQ(settingsFilePath(), "/cfg/torvane/settings.toml");
    EXPECT_EQ(userDataFolder(), "/home/p/.local/share/torvane");
    EXPECT_EQ(picturesFolder(), "/home/p/Pictures") << "no /cfg/user-dirs.dirs";
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFilePath(), "/home/p/.config/torvane/settings.toml");
}

TEST(UserFolders, PicturesFolderFromUserDirs)
{
    const char* dirs = "# written by xdg-user-dirs-update\n"
                       "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                       "XDG_PICTURES_DIR=\"$HOME/Images\"\n";
    EXPECT_EQ(picturesFolderIn(dirs, "/home/p"), "/home/p/Images");
    EXPECT_EQ(picturesFolderIn("XDG_PICTURES_DIR=\"/data/photos\"", "/home/p"), "/data/photos");
    EXPECT_EQ(picturesFolderIn("XDG_PICTURES_DIR=\"photos\"\nXDG_PICTURES_DIR=\"$HOME", "/home/p"), "")
        << "relative and unterminated values are ignored";
}

} // namespace
} // namespace torvane
