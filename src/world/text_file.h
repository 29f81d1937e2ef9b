// Whole-file reading for the level files. The file is read as bytes, without
// any line-ending translation; a file too large for memory is not guarded against.
#pragma once

#include <optional>
#include <string>

namespace torvane {

// The contents of the regular file at path; nothing when it cannot be opened,
// is not a regular file (a directory, say) or fails while being read.
std::optional<std::string> readTextFile(const char* path);

} // namespace torvane
