// RecordingWriter: writes a drive to a recording file as it is driven. The
// frame loop only copies each frame (and, when due, the state's hash or the
// whole state) into a buffer allocated up front: no allocation, no disk, no
// lock the disk can hold. A thread of its own encodes the frames into chunks
// (about a second each, zlib-compressed, each with its frame range and a
// CRC-32) and writes them, flushing at least once a second.
//
// The file is written as "NAME.part" beside its target and renamed into place
// when finished; a .part left by a crash or a kill reads up to its last
// complete chunk (recording_folder.h renames it into place at the next start).
// When the disk is full or a write fails, the writer stops writing and the
// file stays readable up to its last sound chunk; the game is told once
// (takeFault) and drives on.
//
// Shortcoming: a disk stalled for over two minutes fills the buffer: the
// recording then stops there (RecordingFault::Overrun) rather than make a frame wait.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "recording/keyframe.h"
#include "recording/recorded_frame.h"
#include "recording/recording_header.h"

namespace torvane {

// Why a writer stopped before its drive ended.
enum class RecordingFault {
    None,
    DiskFull,    // no space left on the device
    WriteFailed, // any other write error
    TooLong,     // kMaxRecordedFrames reached
    Overrun,     // the disk fell so far behind that the buffer filled
};

// Where a writer puts its file.
enum class RecordingName {
    Given,       // the path given: its .part must not exist; the finished file replaces what is there
    NewInFolder, // the path given is the recordings folder: a name of the writer's own there
                 // (newRecordingPath), never one that another game writes or wrote meanwhile
};

class RecordingWriter {
public:
    // Creates path + ".part" exclusively (its folder must exist), writes
    // header and starts the writing thread. Nothing, with error set ("PATH:
    // why"), when the file cannot be created or the header not written.
    static std::unique_ptr<RecordingWriter> start(const std::string& path, const RecordingHeader& header,
                                                  std::string& error, RecordingName naming = RecordingName::Given);
    // Finishes the recording if finish was not called.
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Adds the next frame; after is the game's state once the frame ran: its
    // hash is kept every stateHashEvery frames, the whole of it every
    // keyframeEvery. Copies only; never waits on the writing thread.
    void addFrame(const RecordedFrame& frame, const Keyframe& after);
    // Waits until the buffer has room for the next frame, for a loop that runs
    // far faster than the clock (the replay tool recording a scripted drive):
    // the game's loop never calls it.
    void waitForRoom();
    // The car text of the next added frame that has kEventCarReloaded. Allocates (a reload is rare).
    void addCarText(std::string text);
    // Makes keptPath the file's final place: the writing thread moves the file
    // there at once (it is still written on) and the finished file lands there.
    void keepAs(std::string keptPath);
    // Writes every frame added, the end mark, closes the file and renames it
    // into place; true when the whole drive is in the file. Later calls do nothing.
    bool finish();

    // Why the writer stopped, once: later calls give None. For the frame loop: no allocation.
    RecordingFault takeFault();
    // The frames added so far.
    std::uint32_t framesAdded() const { return added; }
    // Where the finished file lands (the kept place once keepAs was called).
    std::string finalPath() const;

private:
    struct Shared; // the state the frame loop and the writing thread share

    explicit RecordingWriter(std::unique_ptr<Shared> state);

    std::unique_ptr<Shared> shared;
    std::uint32_t added = 0;
    bool finished = false;
    bool finishedWhole = false;
    bool faultTaken = false;
};

} // namespace torvane
