#include "recording/recording_folder.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cctype>
#include <ctime>
#include <filesystem>

#include <fcntl.h>

namespace torvane {
namespace {

namespace fs = std::filesystem;

// True for a regular file itself (not a link to one, wherever it points).
bool isOwnFile(const fs::directory_entry& entry)
{
    std::error_code error;
    return entry.symlink_status(error).type() == fs::file_type::regular && !error;
}

// True when no running game holds the file's lock (it is not being written)
// and it holds something: a game locks its file before it writes the first
// byte, so an empty one may be a game's that has not locked it yet.
bool isAbandoned(const fs::path& path)
{
    // Not followed, and not waited on should it have become a pipe since it was looked at.
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        return false;
    }
    struct stat opened {};
    const bool free = flock(descriptor, LOCK_EX | LOCK_NB) == 0 && fstat(descriptor, &opened) == 0
                      && opened.st_size > 0;
    close(descriptor);
    return free;
}

// target, or target with "_2", "_3"... before its extension when target exists
// (which sort after target, as a later drive should).
fs::path freeName(const fs::path& target)
{
    std::error_code error;
    fs::path candidate = target;
    for (int number = 2; fs::exists(candidate, error) && number < 1000; ++number) {
        candidate = target.parent_path()
                    / (target.stem().string() + "_" + std::to_string(number) + target.extension().string());
    }
    return candidate;
}

// Renames from to to unless to exists; false (errno set) when it did not.
bool renameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // The file system renames only by replacing: a hard link fails on a taken name as well.
    if (link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    unlink(from.c_str());
    return true;
}

void recoverIn(const fs::path& folder, std::vector<std::string>& recovered)
{
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const fs::path& path = entry->path();
        if (path.extension() != kPartExtension || !isRecordingName(path.stem().string()) || !isOwnFile(*entry)
            || !isAbandoned(path)) {
            continue;
        }
        const fs::path target = freeName(path.parent_path() / path.stem());
        if (renameWithoutReplacing(path.string(), target.string())) {
            recovered.push_back(target.string());
        }
    }
}

} // namespace

std::string recordingFileName(std::int64_t unixTime)
{
    const std::time_t time = static_cast<std::time_t>(unixTime);
    std::tm local{};
    localtime_r(&time, &local);
    char name[64];
    std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &local);
    return std::string(name) + kRecordingExtension;
}

std::string newRecordingPath(const std::string& folder, std::int64_t unixTime)
{
    fs::path target = freeName(fs::path(folder) / recordingFileName(unixTime));
    std::error_code error;
    while (fs::exists(target.string() + kPartExtension, error)) {
        target = freeName(target.parent_path() / (target.stem().string() + "+" + target.extension().string()));
    }
    return target.string();
}

std::string renameToFreeName(const std::string& from, const std::string& target, std::int64_t unixTime)
{
    const fs::path wanted(target);
    const std::string extension = wanted.extension() == kPartExtension ? kPartExtension : "";
    std::string candidate = target;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (renameWithoutReplacing(from, candidate)) {
            return candidate;
        }
        if (errno != EEXIST) {
            return {};
        }
        candidate = newRecordingPath(wanted.parent_path().string(), unixTime) + extension;
    }
    return {};
}

bool isRecordingName(std::string_view name)
{
    // "YYYY-MM-DD_HH-MM-SS", then what newRecordingPath and recovery add ("_2", "+"), then the extension.
    constexpr std::string_view kShape = "0000-00-00_00-00-00";
    const std::string_view extension = kRecordingExtension;
    if (name.size() < kShape.size() + extension.size() || !name.ends_with(extension)) {
        return false;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(name[i])) : name[i] != kShape[i]) {
            return false;
        }
    }
    const std::string_view added = name.substr(kShape.size(), name.size() - kShape.size() - extension.size());
    return added.find_first_not_of("0123456789_+") == std::string_view::npos;
}

std::vector<std::string> recoverPartFiles(const std::string& folder)
{
    std::vector<std::string> recovered;
    recoverIn(folder, recovered);
    // A saved folder that is a link leads out of the recordings: its files are not the game's to rename.
    std::error_code error;
    const fs::path saved = fs::path(folder) / kSavedRecordingsFolder;
    if (fs::symlink_status(saved, error).type() == fs::file_type::directory) {
        recoverIn(saved, recovered);
    }
    return recovered;
}

std::vector<std::string> pruneRecordings(const std::string& folder, int keep)
{
    std::vector<fs::path> recordings;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (isRecordingName(entry->path().filename().string()) && isOwnFile(*entry)) {
            recordings.push_back(entry->path());
        }
    }
    std::sort(recordings.begin(), recordings.end());
    std::vector<std::string> deleted;
    const std::size_t kept = static_cast<std::size_t>(std::max(keep, 0));
    for (std::size_t i = 0; i + kept < recordings.size(); ++i) {
        std::error_code removeError;
        if (fs::remove(recordings[i], removeError)) {
            deleted.push_back(recordings[i].string());
        }
    }
    return deleted;
}

} // namespace torvane
