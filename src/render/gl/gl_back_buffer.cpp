#include "render/gl/gl_back_buffer.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>

#include "core/message_sink.h"
#include "render/gl/letterbox.h"

namespace torvane {
namespace {

// Whether the window's default framebuffer has 8-bit colour channels, as the
// off-screen back buffer has, and a depth buffer at least as fine as its 24 bits.
bool windowHasBackBufferFormats()
{
    GLint previous = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    auto bits = [](GLenum attachment, GLenum size) {
        GLint value = 0;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, size, &value);
        return value;
    };
    const bool matches = bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE) == 8 &&
                         bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE) == 8 &&
                         bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE) == 8 &&
                         bits(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE) >= 24;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    return matches;
}

} // namespace

GlBackBuffer::GlBackBuffer(SDL_Window* targetWindow, int backBufferWidth, int backBufferHeight)
    : window(targetWindow), width(backBufferWidth), height(backBufferHeight),
      windowFormatsMatch(windowHasBackBufferFormats())
{
}

GlBackBuffer::~GlBackBuffer()
{
    deleteOffscreenBuffer();
}

bool GlBackBuffer::makeOffscreenBuffer()
{
    if (framebuffer != 0 || offscreenRefused) {
        return framebuffer != 0;
    }
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colourBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        diagnose("OpenGL device: the off-screen back buffer is incomplete; drawing into the window");
        deleteOffscreenBuffer();
        offscreenRefused = true;
        return false;
    }
    return true;
}

void GlBackBuffer::deleteOffscreenBuffer()
{
    glDeleteRenderbuffers(1, &depthBuffer);
    glDeleteRenderbuffers(1, &colourBuffer);
    glDeleteFramebuffers(1, &framebuffer);
    depthBuffer = colourBuffer = framebuffer = 0;
}

void GlBackBuffer::bindForFrame()
{
    // Straight into the window when it has the back buffer's size and formats:
    // presenting is then only the swap. Otherwise into the off-screen buffer.
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    const bool windowMatches = windowFormatsMatch && drawableWidth == width && drawableHeight == height;
    target = !windowMatches && makeOffscreenBuffer() ? framebuffer : 0;
    glBindFramebuffer(GL_FRAMEBUFFER, target);
}

void GlBackBuffer::present()
{
    if (target != 0) {
        int drawableWidth = 0;
        int drawableHeight = 0;
        SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
        // The picture keeps its shape: black bars where the window's shape differs (fullscreen).
        const ScreenArea area = letterbox(width, height, drawableWidth, drawableHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glBlitFramebuffer(0, 0, width, height, area.x, area.y, area.x + area.width, area.y + area.height,
                          GL_COLOR_BUFFER_BIT, GL_LINEAR);
    }
    SDL_GL_SwapWindow(window);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
}

std::vector<std::uint8_t> GlBackBuffer::read() const
{
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < height; ++row) {
        const auto source = static_cast<std::size_t>(height - 1 - row) * rowBytes;
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(source), rowBytes,
                    topDown.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(row) * rowBytes));
    }
    return topDown;
}

} // namespace torvane
