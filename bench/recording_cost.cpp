// bench/recording_cost: what recording a drive costs the frame loop, and how
// big a recording grows. The game runs its own start-up and frames on the
// headless device (the simulation and the calls to the device, nothing drawn:
// far cheaper than a drawn frame, so the share recording takes of it is an
// upper bound). Counters: allocations per frame on the frame's thread, and
// the size of a 10-minute drive (36,000 frames at 60 Hz) with the random key
// spans of the soak drives and with random keys every frame.
//
// Usage: bench/recording_cost [Google Benchmark options]
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "app/drive_recorder.h"
#include "app/recorded_play.h"
#include "render/headless_device.h"
#include "replay/random_drive.h"
#include "support/allocation_counter.h"

namespace torvane {
namespace {

constexpr float kFrameTime = 1.0f / 60.0f;
constexpr int kTenMinutes = 36000;

// A started game driving round in circles, with the folder its recordings go to.
struct Drive {
    Drive()
    {
        if (chdir(TORVANE_DATA_DIR) != 0) {
            std::abort();
        }
        std::filesystem::create_directories(folder);
        game->carSource.path = "cars/car.toml";
        setupDevice(*game, device);
        game->keyboardInput.holdDrivingKeys(0b110u); // the right lock and the accelerator: rows 1 and 2 of the table
    }
    ~Drive() { std::filesystem::remove_all(folder); }

    void frame()
    {
        runFrame(*game, kFrameTime);
        device.clearLog();
    }

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("torvane_recording_cost_" + std::to_string(getpid()));
    std::unique_ptr<Game> game = std::make_unique<Game>();
    HeadlessDevice device;
};

void frameWithoutRecording(benchmark::State& state)
{
    Drive drive;
    for (auto _ : state) {
        drive.frame();
    }
}
BENCHMARK(frameWithoutRecording);

void frameRecorded(benchmark::State& state)
{
    Drive drive;
    auto recorder = DriveRecorder::start(*drive.game, (drive.folder / "cost.tvr").string(), 0);
    const std::size_t before = threadAllocationCount();
    for (auto _ : state) {
        drive.frame();
        recorder->recordFrame(*drive.game, kFrameTime);
    }
    state.counters["allocations_per_frame"] =
        static_cast<double>(threadAllocationCount() - before) / static_cast<double>(state.iterations());
    recorder->finish();
}
BENCHMARK(frameRecorded);

// The recording's own share of a frame: the copy into the buffer, the hash and the keyframe when due.
void recordingAlone(benchmark::State& state)
{
    Drive drive;
    drive.frame();
    auto recorder = DriveRecorder::start(*drive.game, (drive.folder / "alone.tvr").string(), 0);
    for (auto _ : state) {
        recorder->recordFrame(*drive.game, kFrameTime);
    }
    recorder->finish();
}
BENCHMARK(recordingAlone)->Iterations(kTenMinutes * 3);

// Records a ten-minute drive whose keys come from keysOf(frame); the file's size in bytes.
template <typename Keys>
double tenMinuteRecordingBytes(Keys keysOf)
{
    Drive drive;
    const std::string path = (drive.folder / "ten_minutes.tvr").string();
    auto recorder = DriveRecorder::start(*drive.game, path, 0);
    for (int frame = 1; frame <= kTenMinutes; ++frame) {
        keysOf(*drive.game, frame);
        drive.frame();
        recorder->recordFrame(*drive.game, kFrameTime);
    }
    recorder->finish();
    return static_cast<double>(std::filesystem::file_size(path));
}

void tenMinuteRecordingSize(benchmark::State& state)
{
    double spans = 0.0;
    double everyFrame = 0.0;
    for (auto _ : state) {
        RandomKeyPlayer player(1, kTenMinutes);
        spans = tenMinuteRecordingBytes([&player](Game& game, int frame) {
            game.keyboardInput.setKeysDown(player.keysHeldIn(frame));
        });
        std::mt19937_64 random(1);
        everyFrame = tenMinuteRecordingBytes([&random](Game& game, int) {
            game.keyboardInput.holdDrivingKeys(random() & 0x1F); // the five driving keys, any of them
        });
    }
    state.counters["random_spans_bytes"] = spans;
    state.counters["random_every_frame_bytes"] = everyFrame;
}
BENCHMARK(tenMinuteRecordingSize)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace torvane
