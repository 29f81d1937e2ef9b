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

std::string noOpenGl33Message(std::string_view found)
{
    return "Torvane a besoin d'OpenGL 3.3 (profil core) ; ce système offre OpenGL " + std::string(found) +
           ". Mettez à jour le pilote graphique.";
}

std::string noDataFolderMessage(const std::vector<LookedInPlace>& places)
{
    static constexpr const char* kFrom[] = {"option --data", "variable TORVANE_DATA", "installé avec le programme",
                                            "arbre source de cette compilation"};
    std::string text = "Impossible de trouver les données du jeu (un dossier contenant maps/city.ldo).";
    text += places.empty() ? "\nAucun dossier à essayer." : "\nDossiers essayés :";
    for (const LookedInPlace& place : places) {
        text += "\n  " + place.folder + " (" + kFrom[static_cast<int>(place.from)] + ") : " +
                (place.problem == DataFolderProblem::kNotAFolder ? "dossier introuvable" : "pas de maps/city.ldo");
    }
    return text + "\nIndiquez le dossier des données avec --data DOSSIER ou TORVANE_DATA=DOSSIER.";
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
