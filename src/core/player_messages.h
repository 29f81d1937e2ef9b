// The French texts the player sees in message boxes, all in one place. UTF-8.
// Start-up failures are under kCriticalCaption, file and asset failures under
// kErrorCaption.
#pragma once

#include <string>
#include <string_view>

#include "core/file_contents.h"
#include "core/load_report.h"

namespace torvane {

inline constexpr std::string_view kCriticalCaption = "Erreur critique";
inline constexpr std::string_view kErrorCaption = "Erreur";

inline constexpr std::string_view kGraphicsSetupFailed = "Impossible d'initialiser Direct3D";
inline constexpr std::string_view kKeyboardSystemFailed = "Impossible de créer objet DirectInput";
inline constexpr std::string_view kKeyboardDeviceFailed = "Impossible d'obtenir le device clavier";
inline constexpr std::string_view kKeyboardAcquireFailed = "Impossible d'acquirir le clavier";
inline constexpr std::string_view kMeshNotFound = "Impossible de trouver l'Objet";
inline constexpr std::string_view kTextureNotFound = "Impossible de trouver le fichier de texture.";
inline constexpr std::string_view kOutOfMemory = "Mémoire insuffisante";

// "Impossible d'ouvrir le fichier <path>".
std::string cannotOpenFileMessage(std::string_view path);
// "<path> : 3 lignes ignorées (première : ligne 12)", or "<path> : 1 ligne ignorée (ligne 12)".
std::string skippedLinesMessage(std::string_view path, int count, int firstLineNumber);

// Why a file failed, for a box: "fichier introuvable".
std::string_view fileFaultText(FileFault fault);
// The box for the problems of one kind in a load: the kind's text as it stands
// (kMeshNotFound, kTextureNotFound, cannotOpenFileMessage of the first file),
// then "12 échecs, 2 fichiers :" when there is more than one, then one line
// "<path> : <why>" per listed file, then "… et 3 autres fichiers" for the rest.
std::string fileProblemsMessage(FileProblemKind kind, const FileProblems& problems);

} // namespace torvane
