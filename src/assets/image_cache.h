// The decoded image cache: textures decoded by an earlier run are kept as raw
// RGBA pixels in a folder of the user's cache, so that a later start-up reads
// them instead of inflating PNGs and decoding JPEGs again. An entry is named by
// the hash of the image file's bytes (a file that changes names another entry)
// and carries that hash, the size and a CRC-32 of its pixels: an entry of
// other bytes, a damaged, truncated or oversized one is ignored, the file
// decoded and the entry written again (through a temporary file renamed into
// place).
//
// Shortcomings: entries are never removed (a texture edited often leaves one
// behind per version, its pixels' size each). The CRC is no defence against a
// file made to match on purpose; the cache folder is the user's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "assets/image_file.h"

namespace torvane {

// The image kept in cacheFolder for the file bytes whose cacheHash is key,
// when an entry is there, sound, and of at most maxPixels pixels.
std::optional<Image> loadCachedImage(const std::string& cacheFolder, std::uint64_t key, std::size_t maxPixels);

// Keeps image as the entry of key in cacheFolder (created when missing); a
// failure only costs the next start-up a decode.
void storeCachedImage(const std::string& cacheFolder, std::uint64_t key, const Image& image);

} // namespace torvane
