// The identity of the level data a drive depends on: one hash over the city's
// model and placement files as the game reads them. A recording made on other
// level data would replay into other walls, so it is refused.
//
// Shortcoming: a hash, not a signature: it tells data apart, it proves nothing.
#pragma once

#include <cstdint>

namespace torvane {

// contentHash over each level file's name and bytes, read relative to the
// working directory (the data folder); a file that cannot be read counts as
// missing (the city then goes without it, as the drive did).
std::uint64_t levelDataHash();

} // namespace torvane
