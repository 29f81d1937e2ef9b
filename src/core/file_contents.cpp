#include "core/file_contents.h"

#include <array>
#include <filesystem>
#include <fstream>
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

namespace {

FileRead readFileUnlogged(const char* path, std::size_t maxBytes)
{
    if (path == nullptr) {
        return {std::nullopt, FileFault::NotFound};
    }
    if (const FileFault fault = fileSystemFault(path); fault != FileFault::NoFault) {
        return {std::nullopt, fault};
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return {std::nullopt, FileFault::Unreadable};
    }
    if (size > maxBytes) {
        return {std::nullopt, FileFault::TooLarge};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {std::nullopt, FileFault::Unreadable};
    }
    try {
        std::string contents;
        contents.reserve(static_cast<std::size_t>(size));
        std::array<char, 1 << 16> chunk;
        // Read to the end, not to the size asked: a file may grow, and some report size 0.
        while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
            const auto count = static_cast<std::size_t>(in.gcount());
            if (count > maxBytes - contents.size()) {
                return {std::nullopt, FileFault::TooLarge};
            }
            contents.append(chunk.data(), count);
        }
        if (in.bad()) {
            return {std::nullopt, FileFault::Unreadable};
        }
        return {std::move(contents), FileFault::NoFault};
    } catch (const std::ios_base::failure&) {
        return {std::nullopt, FileFault::Unreadable}; // a read error underneath the stream
    } catch (const std::bad_alloc&) {
        return {std::nullopt, FileFault::TooLarge};
    }
}

} // namespace

FileRead readFile(const char* path, std::size_t maxBytes)
{
    FileRead read = readFileUnlogged(path, maxBytes);
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
