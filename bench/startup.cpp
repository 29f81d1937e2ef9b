// bench/startup: the game's start-up against the minimal program's, side by
// side in one run. Each round runs, in alternating order, the floor program
// (torvane-floor: SDL, the OpenGL context, one textured frame) and the game's
// own start-up through the replay tool (torvane-replay --frames 1: the whole
// city loaded, one frame drawn, exit), both on SDL's offscreen driver. Prints
// the median wall time, CPU time and peak resident set of each and the ratios.
//
// Usage: bench/startup [ROUNDS] [OTHER_REPLAY] (default 9 rounds). OTHER_REPLAY,
// another build's torvane-replay (say, of the main branch), is measured in the
// same rounds, so that a change is compared under the same load. One round
// runs first unmeasured, so that the shader caches (the driver's and the
// game's own) are warm. The peak resident set is the kernel's high-water mark
// of the process and of the children it waited for.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "child_run.h"

namespace torvane {
namespace {

struct Series {
    std::vector<double> wall, cpu, peak;

    void add(const RunCost& cost)
    {
        wall.push_back(cost.wallSeconds);
        cpu.push_back(cost.cpuSeconds);
        peak.push_back(cost.peakMegabytes);
    }
};

void printRow(const char* name, const Series& series, const Series& floor)
{
    std::printf("%-6s %10.3f %10.3f %10.1f %10.2f %10.2f %+10.1f\n", name, median(series.wall), median(series.cpu),
                median(series.peak), median(series.wall) / median(floor.wall), median(series.cpu) / median(floor.cpu),
                median(series.peak) - median(floor.peak));
}

int run(int rounds, const char* otherReplay)
{
    std::vector<std::vector<const char*>> commands = {{TORVANE_FLOOR_PROGRAM},
                                                      {TORVANE_REPLAY_PROGRAM, "--frames", "1"}};
    if (otherReplay != nullptr) {
        commands.push_back({otherReplay, "--frames", "1"});
    }
    std::printf("load before: %s\n", loadAverage().c_str());
    std::vector<Series> series(commands.size());
    for (int round = -1; round < rounds; ++round) { // round -1 warms the caches
        std::vector<RunCost> costs(commands.size());
        for (std::size_t i = 0; i < commands.size(); ++i) {
            // Each round in another order, so that none always runs first.
            const std::size_t which = (i + static_cast<std::size_t>(round + 1)) % commands.size();
            costs[which] = measure(commands[which]);
            if (!costs[which].succeeded) {
                std::fprintf(stderr, "startup: %s failed\n", commands[which][0]);
                return 1;
            }
        }
        if (round < 0) {
            continue;
        }
        std::printf("round %d:", round + 1);
        for (std::size_t i = 0; i < commands.size(); ++i) {
            series[i].add(costs[i]);
            std::printf(" %.3f s %.1f MB%s", costs[i].wallSeconds, costs[i].peakMegabytes,
                        i + 1 < commands.size() ? "," : "\n");
        }
    }
    std::printf("load after: %s\n", loadAverage().c_str());
    std::printf("%-6s %10s %10s %10s %10s %10s %10s\n", "", "wall s", "cpu s", "peak MB", "wall x", "cpu x",
                "peak +MB");
    printRow("floor", series[0], series[0]);
    printRow("game", series[1], series[0]);
    if (otherReplay != nullptr) {
        printRow("other", series[2], series[0]);
    }
    std::printf("start-up ratio (wall): %.2f (goal <= 1.5); cpu: %.2f; peak RSS over the floor: %+.1f MB (goal <= 25)\n",
                median(series[1].wall) / median(series[0].wall), median(series[1].cpu) / median(series[0].cpu),
                median(series[1].peak) - median(series[0].peak));
    return 0;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 9;
    return torvane::run(rounds > 0 ? rounds : 9, argc > 2 ? argv[2] : nullptr);
}
