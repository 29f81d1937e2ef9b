// Screenshots: the presented picture as a PNG file, named by the date, the
// time and the frame number (the game writes them into the user's pictures
// folder, platform/user_folders.h).
//
// Shortcomings: a name already taken in the same second and frame is overwritten.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "assets/image_file.h"

namespace torvane {

// "torvane-2026-12-06_18-45-03-frame000123.png" for local time now and frame.
std::string screenshotName(std::uint64_t frame);

// Writes picture to path (creating its folder) through a temporary file
// renamed into place; false, and no file left, when it could not.
bool saveScreenshot(const Image& picture, const std::filesystem::path& path);

} // namespace torvane
