#include "replay/frame_path.h"

#include <cstdio>

namespace torvane {

std::optional<std::string> formatFramePath(std::string_view pattern, int frame)
{
    std::string path;
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            path += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            path += '%';
            ++i;
            continue;
        }
        // "%", an optional '0', up to two width digits, then 'd'.
        std::size_t end = i + 1;
        const bool zeroPad = end < pattern.size() && pattern[end] == '0';
        end += zeroPad ? 1 : 0;
        int width = 0;
        for (int digits = 0; digits < 2 && end < pattern.size() && pattern[end] >= '0' && pattern[end] <= '9';
             ++digits, ++end) {
            width = width * 10 + (pattern[end] - '0');
        }
        if (end >= pattern.size() || pattern[end] != 'd' || ++conversions > 1) {
            return std::nullopt;
        }
        char number[128];
        std::snprintf(number, sizeof number, zeroPad ? "%0*d" : "%*d", width, frame);
        path += number;
        i = end;
    }
    if (conversions != 1) {
        return std::nullopt;
    }
    return path;
}

} // namespace torvane
