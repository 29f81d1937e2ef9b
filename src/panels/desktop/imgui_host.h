// ImGuiHost: Dear ImGui over the game's window: its context, the SDL2 backend
// fed with every event the game takes from the queue, and the OpenGL 3
// backend, which draws into the device's back buffer after the game's picture
// and before it is presented, so screenshots and recorded frames show the
// panels too. ImGui lays out on the back buffer's pixels; the mouse is carried
// through the letterbox when the window's shape differs. Texts use the
// system's sans face (the accents of French and "…"), else ImGui's own font.
// The face is read when the first panel shows.
// ImGui writes no settings file.
//
// Shortcomings: one host per program (ImGui's backends keep one window each);
// chart places are never given back, and a chart that finds no room in the
// atlas (512 × 512 pixels) is shown blank, said once on stderr.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "panels/chart_textures.h"
#include "platform/desktop_window.h"

struct SDL_Window;

namespace torvane {

class ImGuiHost final : public DesktopEventObserver, public ChartTextures {
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
    ChartTexture texture(const ChartImage& image) override;
    void opaqueRun(ImDrawList& list, bool open) override;

    ImGuiHost(const ImGuiHost&) = delete;
    ImGuiHost& operator=(const ImGuiHost&) = delete;

private:
    ImGuiHost(SDL_Window* shownIn, int backBufferWidth, int backBufferHeight)
        : window(shownIn), width(backBufferWidth), height(backBufferHeight)
    {
    }

    // One chart image's place in the atlas (pixels from its top left), whether
    // this frame shows it, and the image's revision the place holds.
    struct ChartPlace {
        const ChartImage* image;
        int left;
        int top;
        int width;
        int height;
        bool shown;
        std::uint64_t uploaded;
    };

    // A new place for image, on the current shelf of the atlas or a new one;
    // false when the atlas is full.
    bool placeChart(const ChartImage& image);
    // Copies the pixels of the charts shown this frame into their places, when changed.
    void uploadShownCharts();

    SDL_Window* window;
    int width;
    int height;
    unsigned atlas = 0;  // OpenGL's texture name, made with the first chart
    std::vector<ChartPlace> charts;
    int shelfTop = 0;     // the shelf being filled: its top row,
    int shelfLeft = 0;    // the first free column on it,
    int shelfHeight = 0;  // and its tallest chart so far
    bool atlasFullSaid = false;
};

} // namespace torvane
