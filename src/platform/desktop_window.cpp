#include "platform/desktop_window.h"

#include <SDL.h>

#include <cstdio>

#include "core/os_services.h"

namespace torvane {
namespace {

void showSdlMessageBox(const char* caption, const char* text)
{
    if (SDL_ShowSimpleMessageBox(0, caption, text, nullptr) != 0) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
}

void pushQuitEvent()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

std::uint64_t sdlPerformanceFrequency() { return SDL_GetPerformanceFrequency(); }
std::uint64_t sdlPerformanceCounter() { return SDL_GetPerformanceCounter(); }
std::uint32_t sdlMilliseconds() { return SDL_GetTicks(); }

} // namespace

bool startDesktop()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
        return false;
    }
    installOsServices({showSdlMessageBox, pushQuitEvent});
    return true;
}

void stopDesktop()
{
    SDL_Quit();
}

bool pollDesktopEvent(bool& quit)
{
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        return false;
    }
    quit = event.type == SDL_QUIT;
    return true;
}

ClockSource desktopClock()
{
    return {sdlPerformanceFrequency, sdlPerformanceCounter, sdlMilliseconds};
}

std::unique_ptr<DesktopWindow> DesktopWindow::open(const char* title, int outerWidth, int outerHeight)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The window's buffers as the device's off-screen back buffer: 8-bit colour, 24-bit depth.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);

    std::unique_ptr<DesktopWindow> result(new DesktopWindow);
    result->window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, outerWidth, outerHeight,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
    if (result->window == nullptr) {
        std::fprintf(stderr, "SDL_CreateWindow failed: %s\n", SDL_GetError());
        return nullptr;
    }

    // SDL sizes the client area; take the borders off where the window manager tells them.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(result->window, &top, &left, &bottom, &right) == 0) {
        SDL_SetWindowSize(result->window, outerWidth - left - right, outerHeight - top - bottom);
    }
    SDL_GetWindowSize(result->window, &result->width, &result->height);

    result->context = SDL_GL_CreateContext(result->window);
    if (result->context == nullptr) {
        std::fprintf(stderr, "SDL_GL_CreateContext failed: %s\n", SDL_GetError());
        return result;
    }
    // Presenting waits for the vertical retrace.
    SDL_GL_SetSwapInterval(1);
    return result;
}

DesktopWindow::~DesktopWindow()
{
    if (context != nullptr) {
        SDL_GL_DeleteContext(context);
    }
    if (window != nullptr) {
        SDL_DestroyWindow(window);
    }
}

} // namespace torvane
