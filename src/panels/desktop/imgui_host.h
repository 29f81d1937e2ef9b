// ImGuiHost: Dear ImGui over the game's window: its context, the SDL2 backend
// fed with every event the game takes from the queue, and the OpenGL 3
// backend, which draws into the device's back buffer after the game's picture
// and before it is presented, so screenshots and recorded frames show the
// panels too. ImGui lays out on the back buffer's pixels; the mouse is carried
// through the letterbox when the window's shape differs. Texts use the
// system's sans face (the accents of French and "…"), else ImGui's own font.
// ImGui writes no settings file.
//
// Shortcoming: one host per program (ImGui's backends keep one window each).
#pragma once

#include <memory>

#include "platform/desktop_window.h"

struct SDL_Window;
struct ImDrawList;
struct ImDrawCmd;

namespace torvane {

class ImGuiHost final : public DesktopEventObserver {
public:
    // Sets ImGui up on window and its current OpenGL context, over a back
    // buffer of width × height pixels; nullptr when a backend refuses.
    static std::unique_ptr<ImGuiHost> create(SDL_Window* window, int width, int height);
    ~ImGuiHost() override;

    void observe(const SDL_Event& event) override;
    // Starts ImGui's frame: the panels draw between this and endFrame.
    void beginFrame();
    // Draws the frame's panels into the bound back buffer.
    void endFrame();
    // True while a text field has the keyboard: the game's keys should rest.
    bool wantsText() const;
    // A draw callback filling its command's clip rectangle, without blending,
    // with the colour its data points to (an ImVec4 of 0..1 channels).
    static void fillClipRectangle(const ImDrawList* list, const ImDrawCmd* command);

    ImGuiHost(const ImGuiHost&) = delete;
    ImGuiHost& operator=(const ImGuiHost&) = delete;

private:
    ImGuiHost(SDL_Window* shownIn, int backBufferWidth, int backBufferHeight)
        : window(shownIn), width(backBufferWidth), height(backBufferHeight)
    {
    }

    SDL_Window* window;
    int width;
    int height;
};

} // namespace torvane
