#include "core/player_messages.h"

namespace torvane {

std::string cannotOpenFileMessage(std::string_view path)
{
    return "Impossible d'ouvrir le fichier " + std::string(path);
}

std::string screenshotSavedMessage(std::string_view path)
{
    return "Capture enregistrée : " + std::string(path);
}

std::string screenshotFailedMessage(std::string_view path)
{
    return "Impossible d'enregistrer la capture " + std::string(path);
}

std::string skippedLinesMessage(std::string_view path, int count, int firstLineNumber)
{
    const std::string line = std::to_string(firstLineNumber);
    if (count == 1) {
        return std::string(path) + " : 1 ligne ignorée (ligne " + line + ")";
    }
    return std::string(path) + " : " + std::to_string(count) + " lignes ignorées (première : ligne " + line + ")";
}

} // namespace torvane
