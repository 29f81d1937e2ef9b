#include "platform/desktop/file_bytes.h"

#include <fstream>
#include <iterator>

namespace torvane {

std::optional<std::vector<std::uint8_t>> readFileBytes(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace torvane
