// DesktopWindow: the game's one window on SDL2 with its OpenGL 3.3 core
// context, plus the desktop's operating-system services (message boxes, the
// quit request, the clock). The window opens at an outer size; where the
// window manager reports its borders, the client area is that size less them.
// With TORVANE_GL_DEBUG set (not "0") the context is a debug context, on which
// the driver reports misuse.
//
// Shortcomings: one window only; where no message box can be shown (no
// display), its caption and text go to stderr.
#pragma once

#include <memory>
#include <string>

#include "core/frame_timer.h"

struct SDL_Window;
union SDL_Event;

namespace torvane {

class MessageSink;

class DesktopWindow {
public:
    // Opens a resizable window and makes its OpenGL context current. nullptr
    // (after naming the failure on stderr) when SDL or OpenGL is not available.
    // With vsync, presenting waits for the vertical retrace.
    static std::unique_ptr<DesktopWindow> open(const char* title, int outerWidth, int outerHeight, bool vsync);
    ~DesktopWindow();

    SDL_Window* handle() const { return window; }
    bool hasGlContext() const { return context != nullptr; }
    // Without the OpenGL 3.3 core context: the version a default context offers
    // ("3.0 Mesa 22.3.6"), or "none" when there is none at all.
    const std::string& offeredGlVersion() const { return offeredVersion; }
    int clientWidth() const { return width; }
    int clientHeight() const { return height; }

    // Desktop fullscreen (the desktop's own resolution, no mode change) or back
    // to the window; false when the window system refused.
    bool setFullscreen(bool on);
    bool isFullscreen() const;

    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

private:
    DesktopWindow() = default;

    SDL_Window* window = nullptr;
    void* context = nullptr;
    int width = 0;
    int height = 0;
    std::string offeredVersion;
};

// Starts SDL's video, event and timer subsystems.
bool startDesktop();
// False when SDL's video driver shows nothing (offscreen or dummy): SDL takes
// one of these by itself where there is no display.
bool desktopHasDisplay();
void stopDesktop();

// What one event from the queue means to the game.
struct DesktopEvent {
    bool quit = false;       // the window closed or the program asked to end
    bool focusLost = false;  // the window lost the keyboard focus
};

// Sees every event pollDesktopEvent takes from the queue (the ImGui panels' input).
class DesktopEventObserver {
public:
    virtual ~DesktopEventObserver() = default;
    virtual void observe(const SDL_Event& event) = 0;
};

// Hands each event taken from now on to observer first; nullptr: none. Not owned.
void setDesktopEventObserver(DesktopEventObserver* observer);

// Takes one event from the queue without waiting. Returns false when the queue
// was empty.
bool pollDesktopEvent(DesktopEvent& event);
// The same, for callers that only care about the quit request.
bool pollDesktopEvent(bool& quit);

// Boxes in SDL's simple message box, or on stderr where none can be shown.
MessageSink& desktopMessageSink();

// SDL's performance counter, with its millisecond ticks as the fallback.
ClockSource desktopClock();

} // namespace torvane
