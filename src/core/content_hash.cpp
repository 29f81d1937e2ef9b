#include "core/content_hash.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace torvane {

std::string contentHashText(std::uint64_t hash)
{
    char text[32];
    std::snprintf(text, sizeof text, "fnv1a64:%016" PRIx64, hash);
    return text;
}

std::uint64_t cacheHash(std::string_view bytes)
{
    constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15ULL; // odd: every multiplication can be undone
    // The length first, so that trailing zero bytes change the hash.
    std::uint64_t hash = 0xcbf29ce484222325ULL ^ (bytes.size() * kMultiplier);
    std::size_t offset = 0;
    for (; offset + 8 <= bytes.size(); offset += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + offset, sizeof word);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29; // the high bits' mixing brought down to the next word's
    }
    std::uint64_t tail = 0;
    if (offset < bytes.size()) {
        std::memcpy(&tail, bytes.data() + offset, bytes.size() - offset);
    }
    hash = (hash ^ tail) * kMultiplier;
    return hash ^ (hash >> 32);
}

} // namespace torvane
