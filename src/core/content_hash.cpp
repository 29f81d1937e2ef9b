#include "core/content_hash.h"

#include <cinttypes>
#include <cstdio>

namespace torvane {

std::string contentHashText(std::uint64_t hash)
{
    char text[32];
    std::snprintf(text, sizeof text, "fnv1a64:%016" PRIx64, hash);
    return text;
}

} // namespace torvane
