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

std::string cannotWatchMessage(std::string_view path, std::string_view why)
{
    const std::string text = "Impossible de revoir " + std::string(path);
    return why.empty() ? text : text + " : " + std::string(why);
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
    std::string text = "Impossible de trouver les données du jeu (un dossier contenant maps/, objets/ ou cars/).";
    text += places.empty() ? "\nAucun dossier à essayer." : "\nDossiers essayés :";
    for (const LookedInPlace& place : places) {
        text += "\n  " + place.folder + " (" + kFrom[static_cast<int>(place.from)] + ") : " +
                (place.problem == DataFolderProblem::kNotAFolder ? "dossier introuvable" : "ni maps/, ni objets/, ni cars/");
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

std::string carSavedMessage(std::string_view path)
{
    return "Voiture enregistrée : " + std::string(path);
}

std::string carFileExistsMessage(std::string_view path)
{
    return std::string(path) + " existe déjà : choisissez un autre nom";
}

std::string carNotSavedMessage(std::string_view path)
{
    return "Impossible d'enregistrer " + std::string(path);
}

std::string carFileReloadedMessage(std::string_view path)
{
    return std::string(path) + " rechargé";
}

std::string carFileRefusedMessage(std::string_view path, FileFault fault, int errorCount, int firstLine,
                                  std::string_view firstField)
{
    const std::string refused = std::string(path) + " refusé : ";
    if (fault != FileFault::NoFault) {
        return refused + std::string(fileFaultText(fault));
    }
    if (firstLine <= 0) {
        return refused + "fichier illisible";
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

std::string_view fileFaultText(FileFault fault)
{
    switch (fault) {
    case FileFault::NotFound:
        return "fichier introuvable";
    case FileFault::NotRegularFile:
        return "pas un fichier ordinaire";
    case FileFault::SymbolicLink:
        return "lien symbolique refusé";
    case FileFault::Unreadable:
        return "lecture impossible";
    case FileFault::TooLarge:
        return "fichier trop volumineux";
    case FileFault::UnsupportedFormat:
        return "format non pris en charge";
    case FileFault::Damaged:
        return "fichier endommagé ou tronqué";
    case FileFault::TooManyPixels:
        return "image trop grande";
    case FileFault::OverBudget:
        return "mémoire des textures épuisée";
    case FileFault::Hostile:
        return "fichier hostile : sa lecture a tenté un accès interdit";
    case FileFault::NoFault:
        break;
    }
    return "contenu illisible";
}

std::string fileProblemsMessage(FileProblemKind kind, const FileProblems& problems)
{
    std::string text;
    switch (kind) {
    case FileProblemKind::LevelFile:
        text = cannotOpenFileMessage(problems.listed.empty() ? "" : problems.listed.front().path);
        break;
    case FileProblemKind::Mesh:
        text = kMeshNotFound;
        break;
    case FileProblemKind::Texture:
        text = kTextureNotFound;
        break;
    }
    if (problems.occurrences > 1) {
        text += "\n" + std::to_string(problems.occurrences) + " échecs, " + std::to_string(problems.distinctFiles) +
                (problems.distinctFiles == 1 ? " fichier :" : " fichiers :");
    }
    for (const ListedFile& file : problems.listed) {
        text += "\n" + file.path + " : " + std::string(fileFaultText(file.fault));
    }
    const int unlisted = problems.distinctFiles - static_cast<int>(problems.listed.size());
    if (unlisted > 0) {
        text += "\n… et " + std::to_string(unlisted) + (unlisted == 1 ? " autre fichier" : " autres fichiers");
    }
    return text;
}

std::string recordingKeptMessage(std::string_view path)
{
    return "Enregistrement gardé : " + std::string(path);
}

std::string recordingStoppedMessage(std::string_view path)
{
    return "Enregistrement interrompu : " + std::string(path) + " ; le jeu continue.";
}

} // namespace torvane
