// bench/startup: the game's start-up against the minimal program's, side by
// side in one run. Each round runs, in alternating order, the floor program
// (torvane-floor: SDL, the OpenGL context, one textured frame) and the game's
// own start-up through the replay tool (torvane-replay --frames 1: the whole
// city loaded, one frame drawn, exit), both on SDL's offscreen driver. Prints
// the median wall time, CPU time and peak resident set of each and the ratios.
//
// Usage: bench/startup [ROUNDS] (default 9). The peak resident set is the
// kernel's high-water mark of the process and of the children it waited for.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_stats.h"

namespace torvane {
namespace {

struct RunCost {
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;
    double peakMegabytes = 0.0;
    bool succeeded = false;
};

double secondsOf(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs the program with its arguments, its output discarded, and measures it.
RunCost measure(const std::vector<const char*>& command)
{
    RunCost cost;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::vector<char*> argv;
        for (const char* word : command) {
            argv.push_back(const_cast<char*>(word));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        return cost;
    }
    cost.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    cost.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    cost.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return cost;
}

struct Series {
    std::vector<double> wall, cpu, peak;

    void add(const RunCost& cost)
    {
        wall.push_back(cost.wallSeconds);
        cpu.push_back(cost.cpuSeconds);
        peak.push_back(cost.peakMegabytes);
    }
};

int run(int rounds)
{
    const std::vector<const char*> floorCommand = {TORVANE_FLOOR_PROGRAM};
    const std::vector<const char*> gameCommand = {TORVANE_REPLAY_PROGRAM, "--frames", "1"};
    std::printf("load before: %s\n", loadAverage().c_str());
    Series floor, game;
    for (int round = 0; round < rounds; ++round) {
        const bool floorFirst = round % 2 == 0;
        const RunCost first = measure(floorFirst ? floorCommand : gameCommand);
        const RunCost second = measure(floorFirst ? gameCommand : floorCommand);
        const RunCost& floorCost = floorFirst ? first : second;
        const RunCost& gameCost = floorFirst ? second : first;
        if (!floorCost.succeeded || !gameCost.succeeded) {
            std::fprintf(stderr, "startup: a program failed (floor %d, game %d)\n", floorCost.succeeded,
                         gameCost.succeeded);
            return 1;
        }
        floor.add(floorCost);
        game.add(gameCost);
        std::printf("round %d: floor %.3f s %.1f MB, game %.3f s %.1f MB\n", round + 1, floorCost.wallSeconds,
                    floorCost.peakMegabytes, gameCost.wallSeconds, gameCost.peakMegabytes);
    }
    std::printf("load after: %s\n", loadAverage().c_str());
    std::printf("%-6s %10s %10s %10s\n", "", "wall s", "cpu s", "peak MB");
    std::printf("%-6s %10.3f %10.3f %10.1f\n", "floor", median(floor.wall), median(floor.cpu), median(floor.peak));
    std::printf("%-6s %10.3f %10.3f %10.1f\n", "game", median(game.wall), median(game.cpu), median(game.peak));
    std::printf("start-up ratio (wall): %.2f (goal <= 1.5); cpu: %.2f; peak RSS over the floor: %+.1f MB (goal <= 25)\n",
                median(game.wall) / median(floor.wall), median(game.cpu) / median(floor.cpu),
                median(game.peak) - median(floor.peak));
    return 0;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 9;
    return torvane::run(rounds > 0 ? rounds : 9);
}
