// FileWatcher: notices that a file was saved, by looking at its modification
// time and size once per interval of the frame times it is given. Cheap: between
// looks it only adds up seconds, and a look allocates nothing.
//
// Shortcomings: a save that keeps both the size and the modification time (to
// the file system's resolution) goes unnoticed; a file being written during a
// look may be seen half-written, and is seen again at the next look.
#pragma once

#include <cstdint>
#include <filesystem>

namespace torvane {

// What a look at a file sees: equal stamps mean an unchanged file.
struct FileStamp {
    bool exists = false;
    std::int64_t modified = 0;  // file-system clock ticks
    std::uintmax_t size = 0;    // bytes

    bool operator==(const FileStamp&) const = default;
};

using FileStampReader = FileStamp (*)(const std::filesystem::path& path);

// The file's stamp from the file system; exists false when it cannot be seen.
FileStamp readFileStamp(const std::filesystem::path& path);

class FileWatcher {
public:
    // Looks at the file once now: changes are counted from here.
    FileWatcher(std::filesystem::path path, float intervalSeconds = 1.0f, FileStampReader reader = readFileStamp);

    // Adds elapsed seconds; once an interval has gone by, looks at the file
    // again. True when that look saw another stamp than the one before.
    bool changed(float elapsedSeconds);

private:
    std::filesystem::path path;
    float interval;
    FileStampReader reader;
    FileStamp last;
    float sinceLook = 0.0f;
};

} // namespace torvane
