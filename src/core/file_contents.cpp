#include "core/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>

#include "core/file_fault_log.h"

namespace torvane {

FileFault fileSystemFault(const char* path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return FileFault::NotFound;
    }
    if (error) {
        return FileFault::Unreadable;
    }
    return status.type() == std::filesystem::file_type::regular ? FileFault::NoFault : FileFault::NotRegularFile;
}

const char* fileFaultReason(FileFault fault)
{
    switch (fault) {
    case FileFault::NotFound:
        return "no such file";
    case FileFault::NotRegularFile:
        return "not a regular file (a folder, a device or a pipe)";
    case FileFault::SymbolicLink:
        return "a symbolic link (refused: the file itself is read, not what it points to)";
    case FileFault::Unreadable:
        return "cannot be read";
    case FileFault::TooLarge:
        return "larger than the limit";
    case FileFault::UnsupportedFormat:
        return "a format not supported";
    case FileFault::Damaged:
        return "damaged or cut short";
    case FileFault::TooManyPixels:
        return "an image too large";
    case FileFault::OverBudget:
        return "beyond the textures' memory";
    case FileFault::Hostile:
        return "hostile: its reading tried what no reader may do";
    case FileFault::NoFault:
        break;
    }
    return "no fault";
}

namespace {

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int value;
    ~Descriptor()
    {
        if (value >= 0) {
            close(value);
        }
    }
};

FileFault openFault(int error, FinalLink link)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileFault::NotFound;
    case ELOOP:
        return link == FinalLink::Refuse ? FileFault::SymbolicLink : FileFault::Unreadable;
    case ENXIO:
    case ENODEV:
        return FileFault::NotRegularFile;
    default:
        return FileFault::Unreadable;
    }
}

FileRead readFileUnlogged(const char* path, std::size_t maxBytes, FinalLink link)
{
    if (path == nullptr) {
        return {std::nullopt, FileFault::NotFound};
    }
    // Nothing that is not a regular file is opened when it can be told before:
    // opening some devices acts on them.
    struct stat seen {};
    if ((link == FinalLink::Refuse ? lstat(path, &seen) : stat(path, &seen)) != 0) {
        return {std::nullopt, openFault(errno, link)};
    }
    if (S_ISLNK(seen.st_mode)) {
        return {std::nullopt, FileFault::SymbolicLink};
    }
    if (!S_ISREG(seen.st_mode)) {
        return {std::nullopt, FileFault::NotRegularFile};
    }
    // Without blocking, in case the path became a pipe since; what was opened is what is judged.
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (link == FinalLink::Refuse ? O_NOFOLLOW : 0);
    const Descriptor file{open(path, flags)};
    if (file.value < 0) {
        return {std::nullopt, openFault(errno, link)};
    }
    struct stat opened {};
    if (fstat(file.value, &opened) != 0) {
        return {std::nullopt, FileFault::Unreadable};
    }
    if (!S_ISREG(opened.st_mode)) {
        return {std::nullopt, FileFault::NotRegularFile};
    }
    if (opened.st_size < 0 || static_cast<std::uintmax_t>(opened.st_size) > maxBytes) {
        return {std::nullopt, FileFault::TooLarge};
    }
    try {
        std::string contents(static_cast<std::size_t>(opened.st_size), '\0');
        std::size_t filled = 0;
        // Read to the end, not to the size seen: a file may grow, and some report
        // size 0. Once the size seen is filled, a small read tells the end (the
        // usual case, where nothing is grown or copied) from more bytes.
        for (;;) {
            const bool full = filled == contents.size();
            char probe[4096];
            const ssize_t count = full ? read(file.value, probe, sizeof probe)
                                       : read(file.value, contents.data() + filled, contents.size() - filled);
            if (count == 0) {
                break;
            }
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return {std::nullopt, FileFault::Unreadable};
            }
            const auto got = static_cast<std::size_t>(count);
            if (full) {
                if (got > maxBytes - filled) {
                    return {std::nullopt, FileFault::TooLarge};
                }
                contents.resize(std::min(std::max({contents.size() * 2, filled + got, sizeof probe}), maxBytes));
                std::memcpy(contents.data() + filled, probe, got);
            }
            filled += got;
        }
        contents.resize(filled);
        return {std::move(contents), FileFault::NoFault};
    } catch (const std::bad_alloc&) {
        return {std::nullopt, FileFault::TooLarge};
    } catch (const std::length_error&) {
        return {std::nullopt, FileFault::TooLarge};
    }
}

} // namespace

FileRead readFile(const char* path, std::size_t maxBytes, FinalLink link)
{
    FileRead read = readFileUnlogged(path, maxBytes, link);
    if (path != nullptr) {
        noteFileFault(path, read.fault);
    }
    return read;
}

std::optional<std::string> readFileContents(const char* path)
{
    return readFile(path, kMaxInputFileBytes).contents;
}

} // namespace torvane
