// The French texts of the message boxes the city map's loading shows about its
// two level files, all under kLevelFileCaption. UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "world/level_file.h"

namespace torvane {

inline constexpr const char* kLevelFileCaption = "Erreur";

// "Impossible d'ouvrir le fichier <path>".
std::string cannotOpenFileMessage(std::string_view path);
// "<path> : 3 lignes ignorées (première : ligne 12)", or "1 ligne ignorée (ligne 12)".
std::string skippedLinesMessage(std::string_view path, SkippedLines skipped);

} // namespace torvane
