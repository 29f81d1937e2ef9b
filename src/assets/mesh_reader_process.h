// Reading a .x file in a child process: Assimp's .x importer crashes on some
// malformed files (seen under the fuzzer), and a crash there must not end the
// game. The child parses the bytes and sends the mesh back through a pipe; a
// child that crashes or sends something incomplete counts as a file that could
// not be read.
//
// Shortcomings: POSIX only (fork and pipe); each mesh costs one fork, which is
// fine at start-up and nowhere else.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "assets/x_mesh_file.h"

namespace torvane {

// readXMeshMemory(data), run in a child process.
std::optional<MeshData> readXMeshInChildProcess(std::span<const std::uint8_t> data);

} // namespace torvane
