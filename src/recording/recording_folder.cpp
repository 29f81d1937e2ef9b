#include "recording/recording_folder.h"

#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include <fcntl.h>

namespace torvane {
namespace {

namespace fs = std::filesystem;

// True when no running game holds the file's lock (it is not being written).
bool isAbandoned(const fs::path& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool free = flock(descriptor, LOCK_EX | LOCK_NB) == 0;
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

void recoverIn(const fs::path& folder, std::vector<std::string>& recovered)
{
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const fs::path& path = entry->path();
        if (path.extension() != kPartExtension || !entry->is_regular_file(error) || !isAbandoned(path)) {
            continue;
        }
        const fs::path target = freeName(path.parent_path() / path.stem());
        std::error_code renameError;
        fs::rename(path, target, renameError);
        if (!renameError) {
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

std::vector<std::string> recoverPartFiles(const std::string& folder)
{
    std::vector<std::string> recovered;
    recoverIn(folder, recovered);
    recoverIn(fs::path(folder) / kSavedRecordingsFolder, recovered);
    return recovered;
}

std::vector<std::string> pruneRecordings(const std::string& folder, int keep)
{
    std::vector<fs::path> recordings;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().extension() == kRecordingExtension && entry->is_regular_file(error)) {
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
