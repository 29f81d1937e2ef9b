#include "recording/level_identity.h"

#include "core/content_hash.h"
#include "core/file_contents.h"
#include "world/city_map.h"

namespace torvane {

std::uint64_t levelDataHash()
{
    std::string named;
    for (const char* path : {kCityModelFile, kCityPlacementFile}) {
        const std::optional<std::string> contents = readFileContents(path);
        // The name and the size first, so the files' bytes cannot run into each other.
        named += std::string(path) + '\0'
                 + (contents ? std::to_string(contents->size()) + '\0' + *contents : std::string("missing"));
    }
    return contentHash(named);
}

} // namespace torvane
