// bench/verify_rate: how many frames a second `torvane-replay --replay FILE
// --no-render` checks (the state hashes, no telemetry), on one core, against
// the floor: the bare physics step of one car, timed in this process. Two long
// drives are recorded first by the replay tool itself (--record), in a
// temporary folder removed at the end: a seeded random drive (the soak drives'
// key spans, the car often against a wall) and the city drive of
// tools/manoeuvres/city_drive.keys played again and again, the car reset
// (Backspace) at the start of each pass. Each is checked in rounds beside a
// one-frame recording of the same kind; the rate is the frames between the two
// over the difference of their median CPU times, so the start-up is not in it
// (the reading of the recording is).
//
// Usage: bench/verify_rate [FRAMES] [ROUNDS] [OTHER_REPLAY] (default 1,000,000
// frames, 5 rounds). OTHER_REPLAY, another build's torvane-replay, checks the
// same recordings in the same rounds.
//
// Shortcoming: one core is the one this process started on; the machine's
// other work still shares it.
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "car/car.h"
#include "child_run.h"

namespace torvane {
namespace {

constexpr int kCityDriveFrames = 2400; // the key script's last frame

double threadCpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

// Steps a circling car frames times; physics steps a second of CPU time.
double physicsStepRate(int frames)
{
    Car car;
    car.setMotion({0.0f, 0.0f, -15.0f}, 50.0f);
    const double start = threadCpuSeconds();
    float heading = 0.0f;
    for (int frame = 0; frame < frames; ++frame) {
        car.setThrottlePressed(true);
        car.setSteeringAngle(10.0f);
        car.setSteeringPressed(true);
        car.stepPhysics(1.0f / 60.0f);
        heading += car.getHeading();
    }
    const double seconds = threadCpuSeconds() - start;
    return heading == 12345.0f || seconds <= 0.0 ? 0.0 : frames / seconds;
}

// The city drive's key script played passes times, each pass shifted by its
// length plus one frame, which holds Backspace (the car back at its start).
std::string repeatedCityDrive(int passes)
{
    std::ifstream in(TORVANE_CITY_DRIVE);
    std::ostringstream out;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            lines.push_back(line);
        }
    }
    for (int pass = 0; pass < passes; ++pass) {
        const int offset = pass * (kCityDriveFrames + 1);
        if (pass > 0) {
            out << offset << ' ' << offset << " Backspace\n";
        }
        for (const std::string& line : lines) {
            std::istringstream words(line);
            int first = 0;
            int last = 0;
            std::string keys;
            words >> first >> last;
            std::getline(words, keys);
            out << first + offset << ' ' << last + offset << keys << '\n';
        }
    }
    return out.str();
}

struct Drive {
    std::string name;
    std::string longFile, shortFile;
    int frames = 0;
};

// Records the drive of the arguments (after --no-render --record FILE) for frames and for one frame.
bool recordDrive(const std::filesystem::path& folder, Drive& drive, std::vector<const char*> keyArguments)
{
    drive.longFile = (folder / (drive.name + ".tvr")).string();
    drive.shortFile = (folder / (drive.name + "_one.tvr")).string();
    const std::string frames = std::to_string(drive.frames);
    for (const auto& [file, count] : {std::pair{&drive.longFile, frames.c_str()}, std::pair{&drive.shortFile, "1"}}) {
        std::vector<const char*> command = {TORVANE_REPLAY_PROGRAM, "--no-render", "--record", file->c_str(),
                                            "--frames", count};
        command.insert(command.end(), keyArguments.begin(), keyArguments.end());
        if (!measure(command).succeeded) {
            std::fprintf(stderr, "verify_rate: the %s drive could not be recorded\n", drive.name.c_str());
            return false;
        }
    }
    return true;
}

struct Rates {
    std::vector<double> longCpu, shortCpu, longWall, shortWall;

    double cpuRate(int frames) const { return (frames - 1) / (median(longCpu) - median(shortCpu)); }
    double wallRate(int frames) const { return (frames - 1) / (median(longWall) - median(shortWall)); }
};

int run(int frames, int rounds, const char* otherReplay)
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) {
        std::perror("verify_rate: sched_setaffinity");
    }
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("torvane_verify_rate_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder, error);
    const std::string cityKeys = (folder / "city.keys").string();
    std::ofstream(cityKeys) << repeatedCityDrive(frames / (kCityDriveFrames + 1) + 1);

    std::vector<Drive> drives = {{"random", "", "", frames}, {"city", "", "", frames}};
    const bool recorded = recordDrive(folder, drives[0], {"--random-keys", "--seed", "1"}) &&
                          recordDrive(folder, drives[1], {"--keys", cityKeys.c_str()});
    std::vector<const char*> programs = {TORVANE_REPLAY_PROGRAM};
    if (otherReplay != nullptr) {
        programs.push_back(otherReplay);
    }
    std::vector<std::vector<Rates>> rates(programs.size(), std::vector<Rates>(drives.size()));
    std::printf("%d frames a drive, one core, load before: %s\n", frames, loadAverage().c_str());
    for (int round = 0; recorded && round < rounds; ++round) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            for (std::size_t d = 0; d < drives.size(); ++d) {
                const RunCost whole = measure({programs[p], "--replay", drives[d].longFile.c_str(), "--no-render"});
                const RunCost start = measure({programs[p], "--replay", drives[d].shortFile.c_str(), "--no-render"});
                if (!whole.succeeded || !start.succeeded) {
                    std::fprintf(stderr, "verify_rate: %s --replay failed\n", programs[p]);
                    std::filesystem::remove_all(folder, error);
                    return 1;
                }
                rates[p][d].longCpu.push_back(whole.cpuSeconds);
                rates[p][d].shortCpu.push_back(start.cpuSeconds);
                rates[p][d].longWall.push_back(whole.wallSeconds);
                rates[p][d].shortWall.push_back(start.wallSeconds);
            }
        }
    }
    std::filesystem::remove_all(folder, error);
    if (!recorded) {
        return 1;
    }
    const double floor = physicsStepRate(frames);
    std::printf("load after: %s\n", loadAverage().c_str());
    std::printf("%-8s %-7s %14s %14s %12s %12s\n", "", "drive", "frames/s cpu", "frames/s wall", "start-up s",
                "whole run s");
    std::printf("%-8s %-7s %14.0f\n", "floor", "physics", floor);
    for (std::size_t p = 0; p < programs.size(); ++p) {
        for (std::size_t d = 0; d < drives.size(); ++d) {
            const Rates& r = rates[p][d];
            std::printf("%-8s %-7s %14.0f %14.0f %12.3f %12.3f\n", p == 0 ? "replay" : "other", drives[d].name.c_str(),
                        r.cpuRate(frames), r.wallRate(frames), median(r.shortCpu), median(r.longCpu));
        }
    }
    std::printf("goal: >= 1,000,000 frames/s of CPU time on each drive\n");
    return 0;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    return torvane::run(frames > 1 ? frames : 1000000, rounds > 0 ? rounds : 5, argc > 3 ? argv[3] : nullptr);
}
