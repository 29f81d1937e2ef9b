// The folder of recorded drives: the names of the files in it, the renaming of
// files a crash or a kill left half-written, and the retention of the latest
// drives. Drives kept on purpose live in its "saved" subfolder, which nothing
// here ever deletes.
//
// Shortcoming: "oldest" is by name, which is the start time: a clock set back
// makes a new drive look old.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// The extension of recording files, and of files still being written.
inline constexpr const char* kRecordingExtension = ".tvr";
inline constexpr const char* kPartExtension = ".part";
// The subfolder of drives the player kept.
inline constexpr const char* kSavedRecordingsFolder = "saved";

// "2026-12-06_20-31-05.tvr" for the local time of unixTime (seconds).
std::string recordingFileName(std::int64_t unixTime);

// A path in folder for a new recording started at unixTime, named by
// recordingFileName, with "_2", "_3"... when the name is taken.
std::string newRecordingPath(const std::string& folder, std::int64_t unixTime);

// Renames from to target when nothing is there, else to a free name for a
// recording started at unixTime beside target (newRecordingPath's, with the
// extension target has); never replaces a file. Where it landed; empty when
// it could not move.
std::string renameToFreeName(const std::string& from, const std::string& target, std::int64_t unixTime);

// Renames every "NAME.part" that no running game is still writing, in folder
// and its saved subfolder, to NAME ("_2"... added if NAME exists); the
// recovered paths. Each one reads up to its last complete chunk. Only regular
// files named as the game names them are renamed, and not empty ones (a game
// starting meanwhile may not have locked its file yet); a saved subfolder that
// is a symbolic link is left alone.
std::vector<std::string> recoverPartFiles(const std::string& folder);

// True when name is one newRecordingPath or recoverPartFiles gives a finished
// recording: "2026-12-06_20-31-05.tvr", "2026-12-06_20-31-05_2+.tvr".
bool isRecordingName(std::string_view name);

// Deletes the oldest recordings directly in folder (never in saved/) until at
// most keep are left; the deleted paths. Only files the game wrote are counted
// and deleted: regular files (a symbolic link is left, whatever it names) with a
// name isRecordingName takes.
std::vector<std::string> pruneRecordings(const std::string& folder, int keep);

} // namespace torvane
