// DriveViewing: what the player does with recorded drives beside driving: the
// list of recent drives (L), watching one (from the list or --replay), and the
// ghost (G, the list's G, or --ghost). While a drive is watched the game's own
// car plays it and the keyboard and pads are taken off the game: the viewer's
// keys are read here. Watching ends the drive being played; taking over (T)
// or leaving (Escape) starts a new one, from the state shown or from where
// the player was before watching. The caller ends and starts the recordings
// of those drives when told (ViewingChange).
//
// Shortcomings: a drive's length in the list comes from reading the whole
// file; the ghost is hidden while a drive is watched.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/drive_watch.h"
#include "app/ghost.h"
#include "app/key_presses.h"

namespace torvane {

class KeyboardDevice;
class PadDevice;

// What changed for the drive being recorded.
enum class ViewingChange {
    None,
    DriveEnded,   // watching began: the drive being recorded is over
    DriveStarted, // watching ended: a new drive starts from the game's present state
};

// Reads the recording at path for watching or racing: nullopt, after a
// diagnostic naming why, when it cannot be read or was driven on other level
// data than levelHash.
std::optional<Recording> readRecordingFor(const std::string& path, std::uint64_t levelHash);

// The list's summary of a recording file: its recorded length and whether it
// lies in a "saved" folder; nullopt when it cannot be read.
std::optional<DriveSummary> summariseRecording(const std::filesystem::path& path);

class DriveViewing {
public:
    // recordingsFolder holds the recent drives and its saved/ subfolder the
    // kept ones; levelHash is the level data this game drives on.
    DriveViewing(Game& game, std::filesystem::path recordingsFolder, std::uint64_t levelHash);

    // The input devices the game drives with; taken off it while watching. Not owned.
    void setInputDevices(KeyboardDevice* keyboard, PadDevice* pads);

    // Starts watching path; false (with a note on the screen) when it cannot be read.
    bool watch(const std::string& path);
    // Makes path the ghost and shows it; false (with a note) when it cannot be read.
    bool race(const std::string& path);
    bool isWatching() const { return watching != nullptr; }

    // Before a driving frame of frameTime seconds: the ghost keeps level.
    void beforeDrivingFrame(float frameTime);
    // After a driving frame: the reset restarts the ghost, and the keys L and
    // G and those of the open list act. Clears actions' quit when Escape was the list's.
    ViewingChange afterDrivingFrame(FrameActions& actions);
    // A frame while watching, displaySeconds long: the viewer's keys, the
    // recorded frames due, the picture. actions gets the desktop's commands
    // the viewer asked for (F11 fullscreen, F12 screenshot, M mute).
    ViewingChange watchFrame(float displaySeconds, FrameActions& actions);

private:
    // The drives of the recordings folder and its saved/ subfolder, newest first.
    std::vector<RecentDrive> recentDrives() const;
    void openList();
    void toggleGhost();
    // Ends the watching and gives the game its keyboard and pads back.
    void stopWatching();

    Game& game;
    std::filesystem::path folder;
    std::uint64_t levelHash;
    KeyboardDevice* keyboard = nullptr;
    PadDevice* pads = nullptr;
    KeyPresses keys;
    std::unique_ptr<DriveWatch> watching;
    std::unique_ptr<Ghost> ghost;
    bool ghostWasShown = false;
    bool pausedBeforeList = false;
    // Escape closed the list or left a watched drive: while it stays held it
    // must not quit the game (a held Escape asks for the quit every frame).
    bool escapeTaken = false;
    // The player's drive as it stood when watching began, to go back to on Escape.
    Keyframe beforeWatching;
    std::string carTextBeforeWatching;
};

} // namespace torvane
