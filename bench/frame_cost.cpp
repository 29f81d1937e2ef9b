// bench/frame_cost: the cost of one full-city frame of the game against the
// floor frame (FloorScene), side by side in one process. The game runs its own
// start-up and frames, driven by tools/manoeuvres/city_drive.keys (full
// throttle across the city, turning, every camera mode in turn; played again
// from the start, the car reset, when it ends); the floor draws in a second
// window of the same size with its own context. Blocks of frames alternate
// between the two; every frame ends with a one-pixel readback, so a frame's
// time includes the driver finishing it. Prints the median milliseconds per
// frame (wall and process CPU time) and the ratio. The same for the car
// standing still at its start, under the camera it starts with. Then the tyre panel's
// share: the game paused (the same picture every frame) with the tyre panel
// (F9) shown, against the same frames with the panels taken away, in pairs of
// blocks side by side; the share is the median over the pairs, and the
// panel's charts stay full throughout.
//
// Usage: bench/frame_cost [--window] [BLOCKS] [FRAMES_PER_BLOCK] [KEYS] (default
// 21 × 30, the city drive), on SDL's offscreen driver unless --window (a real
// window, e.g. under xvfb-run); KEYS, another key script to drive by.
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/desktop_game.h"
#include "bench_stats.h"
#include "core/message_sink.h"
#include "floor_scene.h"
#include "core/file_contents.h"
#include "input/key_codes.h"
#include "input/key_script.h"
#include "panels/tyre_history.h"

namespace torvane {
namespace {

constexpr float kFrameTime = 1.0f / 60.0f;
constexpr int kWarmUpFrames = 60;

double processCpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

struct Context {
    SDL_Window* window;
    SDL_GLContext context;
};

Context currentContext(SDL_Window* window)
{
    SDL_GL_SetSwapInterval(0); // measure the work, not the display's retrace
    return {window, SDL_GL_GetCurrentContext()};
}

struct BlockTimes {
    std::vector<double> wallMs, cpuMs;
};

// Runs frames calls of drawOne on context and records the mean cost of one.
template <typename DrawOne>
void timeBlock(const Context& context, int frames, BlockTimes& times, DrawOne drawOne)
{
    SDL_GL_MakeCurrent(context.window, context.context);
    const double cpuStart = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        drawOne();
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    times.wallMs.push_back(wall * 1000.0 / frames);
    times.cpuMs.push_back((processCpuSeconds() - cpuStart) * 1000.0 / frames);
}

struct PanelShare {
    BlockTimes without, with;
};

// Pauses game (one frame with P down), shows the tyre panel (F9) and fills its
// charts, then times blocks of the same still frame with and without panels.
template <typename GameFrame>
PanelShare timePanel(Game& game, const Context& context, int blocks, int framesPerBlock, GameFrame gameFrame)
{
    GamePanels* panels = game.panels;
    PanelShare share;
    if (panels == nullptr) {
        return share;
    }
    SDL_GL_MakeCurrent(context.window, context.context);
    for (const KeyCode key : {kKeyP, kKeyF9}) {
        game.keyboardInput.setKeyByte(key, 0x80);
        gameFrame();
        game.keyboardInput.setKeyByte(key, 0);
    }
    BlockTimes warmUp;
    timeBlock(context, static_cast<int>(kHistoryFrames), warmUp, gameFrame);
    const auto withPanels = [&](bool on, BlockTimes& times) {
        game.panels = on ? panels : nullptr;
        timeBlock(context, framesPerBlock, times, gameFrame);
    };
    for (int block = 0; block < blocks; ++block) {
        withPanels(block % 2 == 0, block % 2 == 0 ? share.with : share.without);
        withPanels(block % 2 != 0, block % 2 != 0 ? share.with : share.without);
    }
    game.panels = panels;
    return share;
}

int run(bool window, int blocks, int framesPerBlock, const char* keysFile)
{
    if (!window) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    if (!startDesktop() || chdir(TORVANE_DATA_DIR) != 0) {
        std::fprintf(stderr, "frame_cost: SDL or the data folder %s is missing\n", TORVANE_DATA_DIR);
        return 1;
    }
    setProgramName("frame_cost"); // boxes go to stderr: a benchmark never waits for a click
    auto game = std::make_unique<Game>();
    std::unique_ptr<DesktopGame> desktop = startDesktopGame(*game, false);
    if (desktop->device == nullptr) {
        std::fprintf(stderr, "frame_cost: no OpenGL device\n");
        return 1;
    }
    const Context gameContext = currentContext(desktop->window->handle());
    const int width = desktop->window->clientWidth();
    const int height = desktop->window->clientHeight();
    auto floorWindow = DesktopWindow::open("Torvane floor", 800, 600, true);
    std::unique_ptr<FloorScene> floor = floorWindow != nullptr ? FloorScene::create() : nullptr;
    if (floor == nullptr) {
        std::fprintf(stderr, "frame_cost: the floor window did not open\n");
        return 1;
    }
    const Context floorContext = currentContext(floorWindow->handle());
    SDL_SetWindowSize(floorWindow->handle(), width, height);

    const std::optional<std::string> driveText = readFileContents(keysFile);
    const ParsedKeyScript drive = parseKeyScript(driveText.value_or(""));
    const int driveFrames = lastScriptFrame(drive.script);
    if (!driveText || drive.error || driveFrames == 0) {
        std::fprintf(stderr, "frame_cost: %s cannot be read as a key script\n", keysFile);
        return 1;
    }
    KeyScriptPlayer player(drive.script);
    int driveFrame = 0; // 0: the frame that resets the car before the drive starts again
    bool driving = true;
    const auto gameFrame = [&] {
        bool closed = false;
        while (pollDesktopEvent(closed)) {
        }
        if (driving) { // standing still, the keys are the caller's
            std::bitset<kKeyCount> keys = driveFrame > 0 ? player.keysHeldIn(driveFrame) : 0;
            if (driveFrame == 0) {
                keys.set(kKeyBackspace);
            }
            game->keyboardInput.setKeysDown(keys);
            driveFrame = (driveFrame + 1) % (driveFrames + 1);
        }
        runFrame(*game, kFrameTime);
        waitForFrame();
    };
    const auto floorFrame = [&] { floor->drawFrame(floorContext.window, width, height); };

    BlockTimes warmUp;
    timeBlock(gameContext, kWarmUpFrames, warmUp, gameFrame);
    timeBlock(floorContext, kWarmUpFrames, warmUp, floorFrame);
    std::printf("%s, %d × %d, load before: %s\n", window ? "window" : "offscreen", width, height,
                loadAverage().c_str());
    const auto sideBySide = [&](BlockTimes& gameTimes, BlockTimes& floorTimes) {
        for (int block = 0; block < blocks; ++block) {
            if (block % 2 == 0) {
                timeBlock(gameContext, framesPerBlock, gameTimes, gameFrame);
                timeBlock(floorContext, framesPerBlock, floorTimes, floorFrame);
            } else {
                timeBlock(floorContext, framesPerBlock, floorTimes, floorFrame);
                timeBlock(gameContext, framesPerBlock, gameTimes, gameFrame);
            }
        }
    };
    BlockTimes gameTimes, floorTimes, stillTimes, stillFloorTimes;
    sideBySide(gameTimes, floorTimes);
    // The car back at its start (one frame with Backspace down), the camera of the start (F1: mode 0), then no key.
    driving = false;
    SDL_GL_MakeCurrent(gameContext.window, gameContext.context);
    for (int code = 0; code < kKeyCount; ++code) {
        game->keyboardInput.setKeyByte(static_cast<KeyCode>(code), 0);
    }
    for (const KeyCode key : {kKeyBackspace, kKeyF1}) {
        game->keyboardInput.setKeyByte(key, 0x80);
        runFrame(*game, kFrameTime);
        game->keyboardInput.setKeyByte(key, 0);
    }
    sideBySide(stillTimes, stillFloorTimes);
    const PanelShare panel = timePanel(*game, gameContext, blocks, framesPerBlock, gameFrame);
    std::printf("load after: %s\n", loadAverage().c_str());
    std::printf("%-6s %12s %12s\n", "", "wall ms", "cpu ms");
    std::printf("%-6s %12.3f %12.3f\n", "floor", median(floorTimes.wallMs), median(floorTimes.cpuMs));
    std::printf("%-6s %12.3f %12.3f\n", "game", median(gameTimes.wallMs), median(gameTimes.cpuMs));
    std::printf("frame ratio while driving (wall): %.2f (goal <= 1.5); cpu: %.2f\n",
                medianRatio(gameTimes.wallMs, floorTimes.wallMs), medianRatio(gameTimes.cpuMs, floorTimes.cpuMs));
    std::printf("%-6s %12.3f %12.3f\n", "parked", median(stillTimes.wallMs), median(stillTimes.cpuMs));
    std::printf("frame ratio standing still (wall): %.2f; cpu: %.2f\n",
                medianRatio(stillTimes.wallMs, stillFloorTimes.wallMs),
                medianRatio(stillTimes.cpuMs, stillFloorTimes.cpuMs));
    std::printf("%-6s %12.3f %12.3f\n", "still", median(panel.without.wallMs), median(panel.without.cpuMs));
    std::printf("%-6s %12.3f %12.3f\n", "+panel", median(panel.with.wallMs), median(panel.with.cpuMs));
    std::printf("tyre panel's share of the frame (wall): %.3f (goal < 0.2); cpu: %.3f\n",
                medianRatio(panel.with.wallMs, panel.without.wallMs) - 1.0,
                medianRatio(panel.with.cpuMs, panel.without.cpuMs) - 1.0);

    floor.reset();
    floorWindow.reset();
    SDL_GL_MakeCurrent(gameContext.window, gameContext.context);
    game->device = nullptr;
    desktop.reset();
    stopDesktop();
    return 0;
}

} // namespace
} // namespace torvane

int main(int argc, char** argv)
{
    int first = 1;
    const bool window = argc > 1 && std::strcmp(argv[1], "--window") == 0;
    first += window ? 1 : 0;
    const int blocks = argc > first ? std::atoi(argv[first]) : 21;
    const int frames = argc > first + 1 ? std::atoi(argv[first + 1]) : 30;
    // Absolute, since the run enters the data folder.
    const std::string keys = std::filesystem::absolute(argc > first + 2 ? argv[first + 2] : TORVANE_CITY_DRIVE);
    return torvane::run(window, blocks > 0 ? blocks : 21, frames > 0 ? frames : 30, keys.c_str());
}
