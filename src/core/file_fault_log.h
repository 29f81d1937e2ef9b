// The file fault log: why the latest read of each file failed, for the code
// that reports a failure but only learns of it through a layer that returns
// nothing but null (a texture or mesh through the graphics device). Readers
// note each outcome; a success forgets the file.
//
// Shortcomings: paths are compared as written ("a/../b.png" and "b.png" are two
// files); at most kMaxLoggedFileFaults files are remembered, later ones read as
// unknown (FileFault::NoFault).
#pragma once

#include <cstddef>
#include <string_view>

#include "core/file_contents.h"

namespace torvane {

inline constexpr std::size_t kMaxLoggedFileFaults = 1024;

// Remembers why path failed; NoFault forgets it. Thread-safe.
void noteFileFault(std::string_view path, FileFault fault);
// Why the latest read of path failed; when no read was noted, why the file
// system would refuse it; NoFault when neither tells.
FileFault fileFaultOf(std::string_view path);

} // namespace torvane
