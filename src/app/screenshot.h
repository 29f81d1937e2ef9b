// Screenshots: the presented picture as a PNG file in the user's pictures
// folder, named by the date, the time and the frame number.
//
// Shortcomings: the pictures folder is looked up once per screenshot from the
// XDG user-dirs file; a name already taken in the same second and frame is
// overwritten.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "assets/image_file.h"

namespace torvane {

// The user's pictures folder: XDG_PICTURES_DIR of $XDG_CONFIG_HOME/user-dirs.dirs
// (~/.config when unset), else ~/Pictures; nothing without a home folder.
std::optional<std::filesystem::path> picturesFolder();

// "torvane-2026-12-06_18-45-03-frame000123.png" for local time now and frame.
std::string screenshotName(std::uint64_t frame);

// Writes picture to folder/name (creating the folder) through a temporary file
// renamed into place; false, and no file left, when it could not.
bool saveScreenshot(const Image& picture, const std::filesystem::path& path);

} // namespace torvane
