// The French texts the player sees in message boxes and over the picture, all
// in one place. UTF-8.
// Start-up failures are under kCriticalCaption, file and asset failures under
// kErrorCaption.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/data_folder.h"

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
inline constexpr std::string_view kNoDisplay =
    "Aucun écran : Torvane s'ouvre dans une session graphique (X11 ou Wayland). "
    "Lancez-le depuis le bureau, ou indiquez l'écran avec DISPLAY.";
inline constexpr std::string_view kOutOfMemory = "Mémoire insuffisante";

// Texts shown over the picture while playing.
inline constexpr const char* kPausedText = "PAUSE";
// The frame-rate readout: frames per second, then the mean frame time in milliseconds.
inline constexpr const char* kFrameRateFormat = "%.0f images/s  %.1f ms";

// The list of recent drives (L) and watching a drive.
inline constexpr std::string_view kRecentDrivesTitle = "Parcours récents  (Haut/Bas, Entrée : revoir, G : fantôme, Échap : fermer)";
inline constexpr std::string_view kNoRecentDrives = "Aucun parcours enregistré";
inline constexpr std::string_view kSavedDrive = "enregistré";
inline constexpr std::string_view kRecentDrive = "récent";
inline constexpr std::string_view kUnreadableDrive = "illisible";
inline constexpr const char* kWatchingPaused = "PAUSE";
// The watch bar: the bar, the time watched and the whole length, the speed: "[=====-----]  01:23 / 05:00  ×1".
inline constexpr const char* kWatchBarFormat = "%s  %s / %s  %s";
inline constexpr const char* kWatchKeysHelp =
    "Espace : pause   Gauche/Droite : ±5 s (en pause : ±1 image)   PgPréc/PgSuiv : vitesse\n"
    "Début/Fin   F1 à F8, V : caméra   T : reprendre le volant   Échap : revenir";
inline constexpr std::string_view kGhostOn = "Fantôme affiché";
inline constexpr std::string_view kGhostOff = "Fantôme masqué";
inline constexpr std::string_view kNoGhostDrive = "Aucun parcours pour le fantôme";
// Said once on stderr, before the cause, when the game runs without sound.
inline constexpr std::string_view kSilentGame = "le jeu tourne sans son : ";
inline constexpr std::string_view kSoundMuted = "Son coupé (M)";
inline constexpr std::string_view kSoundOn = "Son rétabli (M)";
// "Impossible de revoir <path>": a recording that cannot be watched or raced (the why goes to stderr).
std::string cannotWatchMessage(std::string_view path);

// "Capture enregistrée : <path>", shown when a screenshot was written.
std::string screenshotSavedMessage(std::string_view path);
// "Impossible d'enregistrer la capture <path>".
std::string screenshotFailedMessage(std::string_view path);

// "Enregistrement gardé : <path>", shown when the player kept the drive being recorded.
std::string recordingKeptMessage(std::string_view path);
// Shown once when the disk filled up under the drive's recording.
inline constexpr std::string_view kRecordingDiskFull =
    "Disque plein : l'enregistrement de la conduite s'arrête ici ; le jeu continue.";
// "Enregistrement interrompu : <path> ; le jeu continue." for any other stop of the recording.
std::string recordingStoppedMessage(std::string_view path);

// "Impossible d'ouvrir le fichier <path>".
std::string cannotOpenFileMessage(std::string_view path);
// "Torvane a besoin d'OpenGL 3.3 ; ce système offre OpenGL <found>."
std::string noOpenGl33Message(std::string_view found);
// "Impossible de trouver les données du jeu" with each folder looked in and why it was not taken.
std::string noDataFolderMessage(const std::vector<LookedInPlace>& places);
// "<path> rechargé": the car file was read again and the car took it.
std::string carFileReloadedMessage(std::string_view path);
// The car setup panel's "Enregistrer sous…": "Voiture enregistrée : <path>".
std::string carSavedMessage(std::string_view path);
// "<path> existe déjà : choisissez un autre nom".
std::string carFileExistsMessage(std::string_view path);
// "Impossible d'enregistrer <path>".
std::string carNotSavedMessage(std::string_view path);
inline constexpr std::string_view kCarNameRefused =
    "Nom refusé : de 1 à 64 lettres sans accent, chiffres, - ou _";
// Why the car file was refused, from its first error: "<path> refusé : ligne 12, tyres.grip_factor",
// "<path> refusé : 3 erreurs (première : ligne 12, tyres.grip_factor)", or for an
// error of the whole file (line 0) "<path> refusé : fichier illisible ou trop grand".
std::string carFileRefusedMessage(std::string_view path, int errorCount, int firstLine, std::string_view firstField);
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
