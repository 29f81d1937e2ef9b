// GlBackBuffer: where a frame is drawn and how it reaches the window. While
// the window keeps the back buffer's size (and has 8-bit colour and at least
// 24-bit depth) the frame is drawn straight into it and presenting only swaps;
// otherwise it is drawn into an off-screen buffer (made when first needed)
// that presenting scales onto the window keeping its shape, with black bars
// where the window's shape differs (fullscreen on a wide screen).
//
// Shortcomings: drawn into the window, a frame read back after the swap relies
// on the back buffer surviving it, which holds for SDL's offscreen driver and
// Mesa's software X11 path but not every driver. Drawing into the window
// rather than the off-screen buffer moves a few pixels on llvmpipe (edges,
// coplanar surfaces), as its rows run the other way.
#pragma once

#include <SDL_opengl.h>

#include <cstdint>
#include <vector>

struct SDL_Window;

namespace torvane {

class GlBackBuffer {
public:
    // A back buffer of width × height pixels for window, on its current context.
    GlBackBuffer(SDL_Window* window, int width, int height);
    ~GlBackBuffer();
    GlBackBuffer(const GlBackBuffer&) = delete;
    GlBackBuffer& operator=(const GlBackBuffer&) = delete;

    // Chooses where this frame draws (the window, or the off-screen buffer when
    // the window's size or formats differ) and binds it.
    void bindForFrame();
    // Shows the frame in the window (scaled and letterboxed from the off-screen
    // buffer when drawn there), swaps, and binds the frame's target again.
    void present();
    // The frame's pixels as RGBA8, top row first.
    std::vector<std::uint8_t> read() const;

private:
    // Makes the off-screen buffer on its first need (it costs a few megabytes,
    // and a window of the back buffer's size and formats never needs it);
    // false, once named on stderr, when the driver cannot.
    bool makeOffscreenBuffer();
    void deleteOffscreenBuffer();

    SDL_Window* window;
    int width;
    int height;
    // The window's own buffers have the off-screen buffer's formats, so drawing
    // into them gives the same picture.
    bool windowFormatsMatch = false;
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    GLuint depthBuffer = 0;
    bool offscreenRefused = false; // the driver could not make the off-screen buffer
    GLuint target = 0;             // where this frame draws: framebuffer (off screen) or 0 (the window)
};

} // namespace torvane
