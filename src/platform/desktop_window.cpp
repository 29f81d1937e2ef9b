#include "platform/desktop_window.h"

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "core/message_sink.h"

namespace torvane {
namespace {

// Boxes in SDL's simple message box; where none can be shown (no display),
// on stderr like every diagnostic.
class SdlMessageSink final : public MessageSink {
public:
    void showBox(std::string_view caption, std::string_view text) override
    {
        const std::string captionText(caption);
        const std::string bodyText(text);
        if (SDL_ShowSimpleMessageBox(0, captionText.c_str(), bodyText.c_str(), nullptr) != 0) {
            writeDiagnosticLine(captionText + ": " + bodyText);
        }
    }
    void diagnose(std::string_view line) override { writeDiagnosticLine(line); }
};

SdlMessageSink sdlMessageSink;

// The OpenGL version a context with SDL's default attributes offers; "none" without one.
std::string defaultGlVersion(SDL_Window* window)
{
    SDL_GL_ResetAttributes();
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        return "none";
    }
    // Looked up through SDL: the platform layer does not link OpenGL itself.
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlVersion = 0x1F02;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* version = getString != nullptr ? getString(kGlVersion) : nullptr;
    std::string text = version != nullptr ? reinterpret_cast<const char*>(version) : "unknown";
    SDL_GL_DeleteContext(context);
    return text;
}

// TORVANE_GL_DEBUG set to anything but empty or "0".
bool glDebugAsked()
{
    const char* asked = std::getenv("TORVANE_GL_DEBUG");
    return asked != nullptr && *asked != '\0' && std::string_view(asked) != "0";
}

std::uint64_t sdlPerformanceFrequency() { return SDL_GetPerformanceFrequency(); }
std::uint64_t sdlPerformanceCounter() { return SDL_GetPerformanceCounter(); }
std::uint32_t sdlMilliseconds() { return SDL_GetTicks(); }

DesktopEventObserver* eventObserver = nullptr;

} // namespace

void setDesktopEventObserver(DesktopEventObserver* observer)
{
    eventObserver = observer;
}

bool startDesktop()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        diagnose(std::string("SDL_Init failed: ") + SDL_GetError());
        return false;
    }
    return true;
}

bool desktopHasDisplay()
{
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    return !driver.empty() && driver != "offscreen" && driver != "dummy";
}

void stopDesktop()
{
    SDL_Quit();
}

bool pollDesktopEvent(DesktopEvent& event)
{
    SDL_Event taken;
    if (SDL_PollEvent(&taken) == 0) {
        return false;
    }
    if (eventObserver != nullptr) {
        eventObserver->observe(taken);
    }
    event.quit = taken.type == SDL_QUIT;
    event.focusLost = taken.type == SDL_WINDOWEVENT && taken.window.event == SDL_WINDOWEVENT_FOCUS_LOST;
    return true;
}

bool pollDesktopEvent(bool& quit)
{
    DesktopEvent event;
    const bool taken = pollDesktopEvent(event);
    quit = event.quit;
    return taken;
}

MessageSink& desktopMessageSink()
{
    return sdlMessageSink;
}

ClockSource desktopClock()
{
    return {sdlPerformanceFrequency, sdlPerformanceCounter, sdlMilliseconds};
}

std::unique_ptr<DesktopWindow> DesktopWindow::open(const char* title, int outerWidth, int outerHeight, bool vsync)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The window's buffers as the device's off-screen back buffer: 8-bit colour, 24-bit depth.
    // The stencil bits are never used; asking for them makes GLX choose the
    // 24-bit depth buffer rather than its largest, 32 bits, whose depth test
    // costs llvmpipe about a sixth more of a frame under the low cameras.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    // A debug context when asked for: the driver then reports misuse (render/gl/gl_debug_log.h).
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, glDebugAsked() ? SDL_GL_CONTEXT_DEBUG_FLAG : 0);

    std::unique_ptr<DesktopWindow> result(new DesktopWindow);
    result->window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, outerWidth, outerHeight,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
    if (result->window == nullptr) {
        diagnose(std::string("SDL_CreateWindow failed: ") + SDL_GetError());
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
        diagnose(std::string("SDL_GL_CreateContext (OpenGL 3.3 core) failed: ") + SDL_GetError());
        result->offeredVersion = defaultGlVersion(result->window);
        return result;
    }
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);
    return result;
}

bool DesktopWindow::setFullscreen(bool on)
{
    if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        diagnose(std::string("SDL_SetWindowFullscreen failed: ") + SDL_GetError());
        return false;
    }
    return true;
}

bool DesktopWindow::isFullscreen() const
{
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
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
