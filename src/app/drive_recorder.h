// DriveRecorder: the game's recording of the drive being played, always on:
// it writes each frame as the simulation consumed it (recording_writer.h)
// with what the main loop did outside the keys (a pause on focus loss, a
// reloaded car file), and keeps the drive on the player's demand (Ctrl+S).
// Every step after start is free of allocation and disk waits, but for a car
// reload and the keeping.
//
// Shortcoming: a drive is one file from start to quit; a reset is only
// recorded keys, not a new file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/game.h"
#include "recording/recording_writer.h"

namespace torvane {

class DriveRecorder {
public:
    // Starts recording game's drive from its present state into path (written
    // as path + ".part" until finished; with RecordingName::NewInFolder, path
    // is the folder the file gets a new name in), the car text
    // game.carSource.text and the level data levelHash. Nothing, after a
    // diagnostic, when the file cannot be written.
    static std::unique_ptr<DriveRecorder> start(const Game& game, const std::string& path, std::uint64_t levelHash,
                                                RecordingName naming = RecordingName::Given);

    // The main loop paused the game because its window lost the focus, before the next frame.
    void noteFocusPause() { pendingEvents |= kEventFocusPause; }
    // The car took a saved car file's text (game.carSource.text) before the next frame.
    void noteCarReloaded(const Game& game);
    // The frame just run began no scene (actions.simulationSkipped): the car neither collided nor stepped.
    void noteSimulationSkipped() { pendingEvents |= kEventSimulationSkipped; }
    // Waits for the writing thread to take up frames when it fell behind (RecordingWriter::waitForRoom).
    void waitForRoom() { writer->waitForRoom(); }
    // Records the frame game just ran with frameTime (seconds, as passed to runFrame).
    void recordFrame(const Game& game, float frameTime);

    // Keeps the drive: the file moves to keptFolder (created when missing) and
    // stays there whole when the drive ends; nothing prunes it. The player's
    // note, with the kept path. A drive recorded outside the recordings folder
    // (--record) is kept already: keptFolder is then empty.
    std::string keep(const std::string& keptFolder);
    // The player's note, once, when the recording stopped on a full disk or a
    // write error; empty otherwise (and without allocating).
    std::string takeStopNote();
    // Finishes the file; true when the whole drive is in it.
    bool finish() { return writer->finish(); }
    std::string path() const { return writer->finalPath(); }

private:
    DriveRecorder(std::unique_ptr<RecordingWriter> fileWriter, const CarParameters& model)
        : writer(std::move(fileWriter)), recordedModel(model)
    {
    }

    std::unique_ptr<RecordingWriter> writer;
    CarParameters recordedModel; // the model the recording has the car drive with
    std::uint8_t pendingEvents = 0;
    bool kept = false;
    std::string keptPath;
};

} // namespace torvane
