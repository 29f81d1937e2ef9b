// A file's fingerprint: the 64-bit FNV-1a hash of its bytes, written as
// "fnv1a64:" and sixteen hex digits. Names which car file a run used; it is no
// protection against anyone making two files hash alike on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

// FNV-1a, 64 bits, over every byte of bytes.
constexpr std::uint64_t contentHash(std::string_view bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// XXH3, 64 bits, over bytes, many times faster than contentHash over
// megabytes: it names and checks the entries of the user's caches (decoded
// images, parsed meshes), which no recording or file keeps.
// Like contentHash, no protection against two inputs made to hash alike.
std::uint64_t cacheHash(std::string_view bytes);

// "fnv1a64:" and the hash in sixteen lower-case hex digits.
std::string contentHashText(std::uint64_t hash);

} // namespace torvane
