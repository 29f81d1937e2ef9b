// Recent drives: the recordings in the player's recordings folder as the list
// that L opens shows them, newest first, each with its date, its length and
// whether the player saved it. A file that cannot be read as a recording is
// listed as unreadable rather than left out, so the player sees it is there.
//
// Shortcomings: the order is the files' modification times (a copied file
// counts as new); the folder is read when the list opens, not watched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

// What the list shows of a readable recording.
struct DriveSummary {
    double seconds = 0.0; // the drive's recorded length
    bool saved = false;   // kept by the player (Ctrl+S, --record), not one of the last drives
};

// Reads the summary of one file; nullopt when it is no readable recording.
using DriveSummariser = std::function<std::optional<DriveSummary>(const std::filesystem::path&)>;

struct RecentDrive {
    std::filesystem::path path;
    std::int64_t modified = 0;          // seconds since 1970, UTC
    std::optional<DriveSummary> summary; // nullopt: unreadable
};

// The regular files of the folders whose name ends in extension, newest first
// (the same time: by name), each summarised. A missing or unreadable folder lists nothing.
std::vector<RecentDrive> listRecentDrives(const std::vector<std::filesystem::path>& folders,
                                          std::string_view extension, const DriveSummariser& summarise);

// One row of the list: "06/12 21:04  03:12  enregistré", with "récent" for a
// drive not saved and "illisible" (and the file's name) for an unreadable one.
// The date is local time.
std::string recentDriveLabel(const RecentDrive& drive);

// Writes "mm:ss" (or "h:mm:ss" from an hour on) of seconds, rounded down, into
// text; negative or not finite reads 00:00. Allocates nothing.
void writeClock(double seconds, char (&text)[16]);

} // namespace torvane
