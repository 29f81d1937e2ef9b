// FloorScene: the least a frame of this game can cost on the same driver, the
// yardstick of the start-up and frame-cost benchmarks: one full-screen,
// depth-tested pass of a nearest-sampled 256 × 256 texture modulated by a
// colour, drawn straight into the window, then the swap and a one-pixel
// readback that waits for the frame to be finished.
//
// Shortcomings: it assumes the window's OpenGL 3.3 context is current.
#pragma once

#include <memory>

struct SDL_Window;

namespace torvane {

class FloorScene {
public:
    // Builds the program, the texture and the quad on the current context;
    // nullptr (after saying why on stderr) when the shaders do not build.
    static std::unique_ptr<FloorScene> create();
    ~FloorScene();

    // Clears, draws the textured quad over the whole window, swaps and reads one pixel back.
    void drawFrame(SDL_Window* window, int width, int height);

    FloorScene(const FloorScene&) = delete;
    FloorScene& operator=(const FloorScene&) = delete;

private:
    FloorScene() = default;

    unsigned program = 0;
    unsigned texture = 0;
    unsigned vertexArray = 0;
    unsigned vertexBuffer = 0;
};

// Reads one pixel of the current read framebuffer: the frame drawn so far must be finished.
void waitForFrame();

} // namespace torvane
