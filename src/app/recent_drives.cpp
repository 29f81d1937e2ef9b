#include "app/recent_drives.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "core/player_messages.h"

namespace torvane {
namespace {

std::int64_t secondsSinceEpoch(std::filesystem::file_time_type time)
{
    const auto system = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

// Adds the drives of one folder to drives.
void addDrivesOf(const std::filesystem::path& folder, std::string_view extension, const DriveSummariser& summarise,
                 std::vector<RecentDrive>& drives)
{
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::filesystem::directory_entry& entry = *entries;
        std::error_code entryError;
        if (!entry.is_regular_file(entryError) || entry.path().extension() != extension) {
            continue;
        }
        const std::filesystem::file_time_type written = entry.last_write_time(entryError);
        RecentDrive& drive = drives.emplace_back();
        drive.path = entry.path();
        drive.modified = entryError ? 0 : secondsSinceEpoch(written);
        drive.summary = summarise(entry.path());
    }
}

} // namespace

std::vector<RecentDrive> listRecentDrives(const std::vector<std::filesystem::path>& folders,
                                          std::string_view extension, const DriveSummariser& summarise)
{
    std::vector<RecentDrive> drives;
    for (const std::filesystem::path& folder : folders) {
        addDrivesOf(folder, extension, summarise, drives);
    }
    std::sort(drives.begin(), drives.end(), [](const RecentDrive& a, const RecentDrive& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.path.filename() > b.path.filename();
    });
    return drives;
}

void writeClock(double seconds, char (&text)[16])
{
    // Up to 999 hours; a longer time reads as that.
    const double bounded = std::isfinite(seconds) && seconds > 0.0 ? std::min(seconds, 999.0 * 3600.0) : 0.0;
    const auto whole = static_cast<unsigned>(bounded);
    const unsigned hours = whole / 3600 % 1000;
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%u:%02u:%02u", hours, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%02u:%02u", whole / 60 % 60, whole % 60);
    }
}

std::string recentDriveLabel(const RecentDrive& drive)
{
    const auto time = static_cast<std::time_t>(drive.modified);
    std::tm local{};
    char date[32] = "--/-- --:--";
    if (localtime_r(&time, &local) != nullptr) {
        std::strftime(date, sizeof date, "%d/%m %H:%M", &local);
    }
    if (!drive.summary) {
        return std::string(date) + "  " + drive.path.filename().string() + "  " + std::string(kUnreadableDrive);
    }
    char length[16];
    writeClock(drive.summary->seconds, length);
    return std::string(date) + "  " + length + "  " +
           std::string(drive.summary->saved ? kSavedDrive : kRecentDrive);
}

} // namespace torvane
