// Where things are on this machine: the folder holding the running program,
// and the user's folders after the XDG base directory and user-dirs rules
// ($XDG_CONFIG_HOME, $XDG_DATA_HOME, $XDG_CACHE_HOME, XDG_PICTURES_DIR in user-dirs.dirs),
// each with its usual fallback under $HOME.
//
// Shortcomings: Linux desktops only; an empty string where even $HOME is
// unset; the folders are named, not created (writers create them).
#pragma once

#include <string>
#include <string_view>

#include "core/data_folder.h"

namespace torvane {

// The folder holding the running program (SDL's base path); empty when unknown.
std::string programFolder();

// The game's data folder (core/data_folder.h) from the --data option (empty
// when not given), $TORVANE_DATA and the program's folder.
DataFolderSearch searchDataFolder(const std::string& option);

// $XDG_CONFIG_HOME/torvane/settings.toml (~/.config/torvane/settings.toml).
std::string settingsFilePath();
// $XDG_DATA_HOME/torvane (~/.local/share/torvane): recorded drives and other saved data.
std::string userDataFolder();
// $XDG_DATA_HOME/torvane/recordings: the recorded drives (recording/recording_folder.h).
std::string recordingsFolder();
// $XDG_CACHE_HOME/torvane (~/.cache/torvane): what the game can rebuild, kept to start faster.
std::string userCacheFolder();
// The user's pictures folder (XDG_PICTURES_DIR, else ~/Pictures): screenshots.
std::string picturesFolder();

// XDG_PICTURES_DIR from the text of user-dirs.dirs, "$HOME" replaced by home;
// empty when the file does not set it.
std::string picturesFolderIn(std::string_view userDirsText, std::string_view home);

} // namespace torvane
