// Whole-file reading for the level files, meshes and images. The file is read
// as bytes, without any line-ending translation. Shortcoming: no size limit, so
// a huge file is read in full before any reader can reject it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace torvane {

// The contents of the regular file at path; nothing when it cannot be opened,
// is not a regular file (a directory, say) or fails while being read.
std::optional<std::string> readFileContents(const char* path);

// The same contents seen as bytes, for the binary decoders.
inline std::span<const std::uint8_t> bytesOf(const std::string& contents)
{
    return {reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size()};
}

} // namespace torvane
