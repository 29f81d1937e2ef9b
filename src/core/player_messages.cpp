#include "core/player_messages.h"

namespace torvane {

std::string cannotOpenFileMessage(std::string_view path)
{
    return "Impossible d'ouvrir le fichier " + std::string(path);
}

std::string skippedLinesMessage(std::string_view path, int count, int firstLineNumber)
{
    const std::string line = std::to_string(firstLineNumber);
    if (count == 1) {
        return std::string(path) + " : 1 ligne ignorée (ligne " + line + ")";
    }
    return std::string(path) + " : " + std::to_string(count) + " lignes ignorées (première : ligne " + line + ")";
}

std::string carFileReloadedMessage(std::string_view path)
{
    return std::string(path) + " rechargé";
}

std::string carFileRefusedMessage(std::string_view path, int errorCount, int firstLine, std::string_view firstField)
{
    const std::string refused = std::string(path) + " refusé : ";
    if (firstLine <= 0) {
        return refused + "fichier illisible ou trop grand";
    }
    std::string where = "ligne " + std::to_string(firstLine);
    if (!firstField.empty()) {
        where += ", " + std::string(firstField);
    }
    if (errorCount == 1) {
        return refused + where;
    }
    return refused + std::to_string(errorCount) + " erreurs (première : " + where + ")";
}

} // namespace torvane
