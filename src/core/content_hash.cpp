#include "core/content_hash.h"

#include <cinttypes>
#include <cstdio>

// Inlined: the cache keys need the one function, not another library loaded.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace torvane {

std::string contentHashText(std::uint64_t hash)
{
    char text[32];
    std::snprintf(text, sizeof text, "fnv1a64:%016" PRIx64, hash);
    return text;
}

std::uint64_t cacheHash(std::string_view bytes)
{
    return XXH3_64bits(bytes.data(), bytes.size());
}

} // namespace torvane
