#include "app/drive_viewing.h"

#include "app/recorded_play.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "input/keyboard_input.h"
#include "input/pad_input.h"
#include "recording/recording_folder.h"
#include "sound/sound_scene.h"

namespace torvane {
namespace {

// How long the viewing's notes stay on the screen, in seconds.
constexpr float kViewingNoticeSeconds = 3.0f;

} // namespace

std::optional<Recording> readRecordingFor(const std::string& path, std::uint64_t levelHash)
{
    RecordingRead read = readRecording(path);
    if (!read.recording) {
        diagnose(read.error);
        return std::nullopt;
    }
    if (read.recording->header.levelHash != levelHash) {
        diagnose(path + ": driven on other level data (maps/city.ldo, maps/city.map) than this game's");
        return std::nullopt;
    }
    if (!read.recording->stopNote.empty()) {
        diagnose(path + ": " + read.recording->stopNote);
    }
    return std::move(read.recording);
}

std::optional<DriveSummary> summariseRecording(const std::filesystem::path& path)
{
    const RecordingRead read = readRecording(path.string());
    if (!read.recording) {
        return std::nullopt;
    }
    DriveSummary summary;
    for (const RecordedFrame& frame : read.recording->frames) {
        summary.seconds += static_cast<double>(frame.frameTime);
    }
    summary.saved = path.parent_path().filename() == kSavedRecordingsFolder;
    return summary;
}

DriveViewing::DriveViewing(Game& viewed, std::filesystem::path recordingsFolder, std::uint64_t levelDataHash)
    : game(viewed), folder(std::move(recordingsFolder)), levelHash(levelDataHash)
{
}

void DriveViewing::setInputDevices(KeyboardDevice* keyboardDevice, PadDevice* padDevice)
{
    keyboard = keyboardDevice;
    pads = padDevice;
}

bool DriveViewing::watch(const std::string& path)
{
    std::optional<Recording> recording = readRecordingFor(path, levelHash);
    if (!recording) {
        game.play.showNotice(cannotWatchMessage(path), kViewingNoticeSeconds);
        return false;
    }
    beforeWatching = captureKeyframe(game);
    carTextBeforeWatching = game.carSource.text;
    auto watch = std::make_unique<DriveWatch>();
    if (!watch->start(game, std::move(*recording))) {
        takeCarText(game, carTextBeforeWatching, "the car file");
        restoreKeyframe(game, beforeWatching);
        game.play.showNotice(cannotWatchMessage(path), kViewingNoticeSeconds);
        return false;
    }
    watching = std::move(watch);
    game.keyboardInput.attachDevice(nullptr);
    game.padInput.attachDevice(nullptr);
    ghostWasShown = game.ghostShown;
    game.ghostShown = false;
    keys.read(keyboard); // keys already down when watching starts do not count as presses
    return true;
}

bool DriveViewing::race(const std::string& path)
{
    std::optional<Recording> recording = readRecordingFor(path, levelHash);
    std::unique_ptr<Ghost> raced = recording ? Ghost::race(game, std::move(*recording)) : nullptr;
    if (raced == nullptr) {
        game.play.showNotice(cannotWatchMessage(path), kViewingNoticeSeconds);
        return false;
    }
    ghost = std::move(raced);
    game.ghostShown = true;
    return true;
}

void DriveViewing::stopWatching()
{
    watching.reset();
    if (game.sound != nullptr) {
        game.sound->setHeld(false);
    }
    game.keyboardInput.attachDevice(keyboard);
    game.padInput.attachDevice(pads);
    game.ghostShown = ghostWasShown;
    if (ghost != nullptr) {
        ghost->restart();
    }
}

void DriveViewing::beforeDrivingFrame(float frameTime)
{
    // Hidden, the ghost keeps level too, so that showing it again shows it where it is.
    if (ghost != nullptr) {
        ghost->follow(game, frameTime);
    }
}

std::vector<RecentDrive> DriveViewing::recentDrives() const
{
    if (folder.empty()) {
        return {}; // no home folder: no recordings
    }
    return listRecentDrives({folder, folder / kSavedRecordingsFolder}, kRecordingExtension, summariseRecording);
}

void DriveViewing::openList()
{
    game.recentDrives.show(recentDrives());
    pausedBeforeList = game.play.paused;
    game.play.paused = true;
}

void DriveViewing::toggleGhost()
{
    if (ghost != nullptr) {
        game.ghostShown = !game.ghostShown;
        return;
    }
    // No ghost yet: the newest readable drive.
    for (const RecentDrive& drive : recentDrives()) {
        if (drive.summary && race(drive.path.string())) {
            return;
        }
    }
    game.play.showNotice(std::string(kNoGhostDrive), kViewingNoticeSeconds);
}

ViewingChange DriveViewing::afterDrivingFrame(FrameActions& actions)
{
    if (actions.resetRequested && ghost != nullptr) {
        ghost->restart();
    }
    keys.update(game.keyboardInput);
    escapeTaken = escapeTaken && keys.isDown(kKeyEscape);
    if (escapeTaken) {
        actions.quitRequested = false;
    }
    if (!game.recentDrives.isOpen()) {
        if (keys.pressed(kKeyL)) {
            openList();
        } else if (keys.pressed(kKeyG)) {
            toggleGhost();
        }
        return ViewingChange::None;
    }
    actions.quitRequested = false; // Escape closes the list
    escapeTaken = keys.isDown(kKeyEscape);
    for (const KeyCode key : {kKeyUp, kKeyDown, kKeyReturn, kKeyNumpadEnter, kKeyG, kKeyEscape, kKeyL}) {
        if (!keys.pressed(key)) {
            continue;
        }
        const MenuChoice choice = game.recentDrives.press(key);
        if (choice == MenuChoice::None) {
            continue;
        }
        game.play.paused = pausedBeforeList;
        if (choice == MenuChoice::Ghost) {
            race(game.recentDrives.chosenPath().string());
        } else if (choice == MenuChoice::Watch && watch(game.recentDrives.chosenPath().string())) {
            return ViewingChange::DriveEnded;
        }
        break;
    }
    return ViewingChange::None;
}

ViewingChange DriveViewing::watchFrame(float displaySeconds, FrameActions& actions)
{
    keys.read(keyboard);
    actions.fullscreenToggled = keys.pressed(kKeyF11);
    actions.screenshotRequested = keys.pressed(kKeyF12);
    actions.muteToggled = keys.pressed(kKeyM);
    const WatchRequest request = watching->showFrame(game, keys, displaySeconds);
    if (request == WatchRequest::KeepWatching) {
        return ViewingChange::None;
    }
    if (request == WatchRequest::Leave) {
        takeCarText(game, carTextBeforeWatching, "the car file");
        restoreKeyframe(game, beforeWatching);
        escapeTaken = true;
    }
    stopWatching();
    return ViewingChange::DriveStarted;
}

} // namespace torvane
