// The program binary cache: shader programs linked by an earlier run are kept
// as the driver's own binaries (glGetProgramBinary) in a folder of the user's
// cache, so that a later start-up loads them (glProgramBinary) instead of
// compiling GLSL. An entry is named by a hash of the driver's vendor, renderer
// and version strings and of both sources, and carries that hash and a
// checksum of its bytes: an entry from another driver or other sources, a
// damaged, truncated or oversized file, or a binary the driver refuses is
// ignored, the program built from source and the entry written again (through
// a temporary file renamed into place).
//
// Shortcomings: entries are never removed (each program has one file, replaced
// in place; a driver update leaves the old ones behind, a few kilobytes each).
// The checksum is no defence against a file made to match on purpose; the
// cache folder is the user's own.
#pragma once

#include <string>

namespace torvane {

// The program linked from the two sources, from the cache in cacheFolder when
// an entry there fits, else built (buildGlProgram) and kept there. Without a
// folder, or on a context that offers no program binary format, only built.
// 0 after naming the failure on stderr, as buildGlProgram does.
unsigned buildCachedGlProgram(const char* vertexSource, const char* fragmentSource, const char* what,
                              const std::string& cacheFolder);

} // namespace torvane
