#include "core/file_contents.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace torvane {

std::optional<std::string> readFileContents(const char* path)
{
    std::error_code error;
    if (path == nullptr || !std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    try {
        std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad()) {
            return std::nullopt;
        }
        return contents;
    } catch (const std::ios_base::failure&) {
        return std::nullopt; // a read error underneath the stream
    }
}

} // namespace torvane
