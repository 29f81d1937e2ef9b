#include "core/file_watcher.h"

#include <utility>

namespace torvane {

FileStamp readFileStamp(const std::filesystem::path& path)
{
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return {};
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return {};
    }
    return {true, static_cast<std::int64_t>(modified.time_since_epoch().count()), size};
}

FileWatcher::FileWatcher(std::filesystem::path watched, float intervalSeconds, FileStampReader stampReader)
    : path(std::move(watched)), interval(intervalSeconds), reader(stampReader), last(reader(path))
{
}

bool FileWatcher::changed(float elapsedSeconds)
{
    sinceLook += elapsedSeconds;
    if (sinceLook < interval) {
        return false; // a NaN frame time falls through to a look, which starts the count again
    }
    sinceLook = 0.0f;
    const FileStamp now = reader(path);
    const bool different = now != last;
    last = now;
    return different;
}

} // namespace torvane
