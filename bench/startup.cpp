// bench/startup: the game's start-up against the minimal program's, side by
// side in one run. Each round runs, in alternating order, the floor program
// (torvane-floor: SDL, the OpenGL context, one textured frame) and the game's
// own start-up through the replay tool (torvane-replay --frames 1: the whole
// city loaded, one frame drawn, exit), both on SDL's offscreen driver. Prints
// the median wall time, CPU time and peak resident set of each and the ratios.
// With --window (under xvfb-run), the floor opens a real window and the game
// itself is measured instead (torvane --frames 1: its start-up, with the sound
// and the drive's recording, one frame presented, exit).
//
// Usage: bench/startup [--window] [ROUNDS] [OTHER] (default 9 rounds). OTHER,
// another build's torvane-replay (torvane with --window), say of the main
// branch, is measured in the same rounds, so that a change is compared under
// the same load. One round
// runs first unmeasured, so that the shader caches (the driver's and the
// game's own) are warm. The peak resident set is the kernel's high-water mark
// of the process and of the children it waited for.
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

int run(bool window, int rounds, const char* otherProgram)
{
    std::vector<std::vector<const char*>> commands = {{TORVANE_FLOOR_PROGRAM},
                                                      {window ? TORVANE_GAME_PROGRAM : TORVANE_REPLAY_PROGRAM, "--frames", "1"}};
    if (window) {
        commands[0].push_back("--window");
    }
    if (otherProgram != nullptr) {
        commands.push_back({otherProgram, "--frames", "1"});
    }
    std::printf("load before: %s\n", loadAverage().c_str());
    std::vector<Series> series(commands.size());
    for (int round = -1; round < rounds; ++round) { // round -1 warms the caches
        std::vector<RunCost> costs(commands.size());
        for (std::size_t i = 0; i < commands.size(); ++i) {
            // Each round in another order, so that none always runs first.
            const std::size_t which = (i + static_cast<std::size_t>(round + 1)) % commands.size();
            costs[which] = measure(commands[which], !window);
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
    if (otherProgram != nullptr) {
        printRow("other", series[2], series[0]);
    }
    std::printf("%s start-up ratio (wall): %.2f (goal <= 1.5); cpu: %.2f; peak RSS over the floor: %+.1f MB (goal <= 10)\n",
                window ? "game's" : "replay tool's",
                median(series[1].wall) / median(series[0].wall), median(series[1].cpu) / median(series[0].cpu),
                median(series[1].peak) - median(series[0].peak));
    return 0;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    const bool window = argc > 1 && std::strcmp(argv[1], "--window") == 0;
    const int first = window ? 2 : 1;
    const int rounds = argc > first ? std::atoi(argv[first]) : 9;
    return torvane::run(window, rounds > 0 ? rounds : 9, argc > first + 1 ? argv[first + 1] : nullptr);
}
