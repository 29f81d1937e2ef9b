#include "world/text_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace torvane {

std::optional<std::string> readTextFile(const char* path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return text;
}

} // namespace torvane
