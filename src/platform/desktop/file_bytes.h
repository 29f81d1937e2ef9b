// Reads a whole file into memory for the decoders. Shortcoming: no size limit,
// so a huge file is read in full before any decoder can reject it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace torvane {

// The file's bytes, or nullopt when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readFileBytes(const char* path);

} // namespace torvane
