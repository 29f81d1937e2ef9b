// Runs a program as a child, its output discarded, on SDL's offscreen driver (or the display),
// and measures it: wall time, CPU time (user and system, of the child and the
// children it waited for) and the peak resident set. Shared by the benchmarks
// that time whole programs.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace torvane {

struct RunCost {
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;
    double peakMegabytes = 0.0;
    bool succeeded = false;
};

inline double secondsOf(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs the program with its arguments, its output discarded, and measures it;
// on SDL's offscreen driver unless offscreen is false.
inline RunCost measure(const std::vector<const char*>& command, bool offscreen = true)
{
    RunCost cost;
    const auto start = std::chrono::steady_clock::now();
    std::fflush(nullptr); // what the parent printed is not the child's to write again
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        if (offscreen) {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
        }
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

} // namespace torvane
