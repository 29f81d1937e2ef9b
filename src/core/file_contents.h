// Whole-file reading for the level files, meshes, images, key scripts, car
// files and recordings. The file is read as bytes, without any line-ending
// translation, and only when it is a regular file whose size, asked of the
// opened file, is within the caller's limit: a huge or endless file costs
// nothing, and a pipe or a device is refused without waiting on it (it is
// opened without blocking and looked at before any read). Files others share
// (car files, recordings) may also be refused when they are symbolic links.
// Failures say why (FileFault). A file that grows past its limit while it is
// read is refused as too large.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace torvane {

// The largest file readFileContents reads: far above any mesh or texture of the game.
inline constexpr std::size_t kMaxInputFileBytes = std::size_t{64} << 20;

// Why a file could not be used. The first five are readFile's; the others are
// the readers' of its contents.
enum class FileFault {
    NoFault,
    NotFound,
    NotRegularFile,    // a directory, a device, a pipe
    SymbolicLink,      // a symbolic link where the caller takes none
    Unreadable,        // no permission, or a read error
    TooLarge,          // beyond the caller's limit, or more than memory allows
    UnsupportedFormat, // not a format the reader knows, or a kind of it it does not (CMYK JPEG)
    Damaged,           // truncated or corrupt
    TooManyPixels,     // an image beyond the size one texture may have
    OverBudget,        // an image beyond what the textures together may still take
    Hostile,           // its reading tried what no reader does (a mesh reader confined to its socket opening a file)
};

struct FileRead {
    std::optional<std::string> contents; // set exactly when fault is NoFault
    FileFault fault = FileFault::NoFault;
};

// Why path cannot be read as a regular file (NotFound, NotRegularFile,
// Unreadable); NoFault when it can be tried.
FileFault fileSystemFault(const char* path);

// Whether a symbolic link at the end of the path is followed. Level files,
// meshes and images may be linked inside the data folder (an install may link
// them to shared copies); car files and recordings come from other players and
// must be the file itself.
enum class FinalLink { Follow, Refuse };

// The contents of the regular file at path when it holds at most maxBytes. The
// outcome is noted for fileFaultOf (core/file_fault_log.h).
FileRead readFile(const char* path, std::size_t maxBytes, FinalLink link = FinalLink::Follow);

// The fault in English, for diagnostics: "a symbolic link", "larger than the
// limit"... (the player's French text is fileFaultText, core/player_messages.h).
const char* fileFaultReason(FileFault fault);

// The contents of the regular file at path (at most kMaxInputFileBytes), or nothing.
std::optional<std::string> readFileContents(const char* path);

// The same contents seen as bytes, for the binary decoders.
inline std::span<const std::uint8_t> bytesOf(const std::string& contents)
{
    return {reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size()};
}

} // namespace torvane
