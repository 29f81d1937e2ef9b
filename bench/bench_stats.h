// Small helpers shared by the start-up and frame-cost benchmarks: medians and
// the machine's load, printed with every result because the machine is shared.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace torvane {

// The median of values (the mean of the middle two for an even count); 0 when empty.
inline double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// The median of top[i] / bottom[i] over the pairs both hold: blocks timed side
// by side compare at the same moment of a machine whose speed drifts.
inline double medianRatio(const std::vector<double>& top, const std::vector<double>& bottom)
{
    std::vector<double> ratios;
    for (std::size_t index = 0; index < std::min(top.size(), bottom.size()); ++index) {
        if (bottom[index] > 0.0) {
            ratios.push_back(top[index] / bottom[index]);
        }
    }
    return median(ratios);
}

// The first three fields of /proc/loadavg: the 1, 5 and 15 minute load averages.
inline std::string loadAverage()
{
    char text[64] = {};
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%63[0-9. ]", text) != 1) {
            text[0] = '\0';
        }
        std::fclose(file);
    }
    std::string load(text);
    const std::size_t third = load.find(' ', load.find(' ', load.find(' ') + 1) + 1);
    return load.substr(0, third);
}

} // namespace torvane
