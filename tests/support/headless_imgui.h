// Dear ImGui without a window or a GPU: a context over an 800 × 600 display
// whose frames end in ImGui's own draw lists, and a count of ImGui's own
// allocations (routed through ImGui's allocator hooks).
#pragma once

#include <cstddef>
#include <vector>

#include <imgui.h>

namespace torvane {

class HeadlessImGui {
public:
    HeadlessImGui();
    ~HeadlessImGui();
    HeadlessImGui(const HeadlessImGui&) = delete;
    HeadlessImGui& operator=(const HeadlessImGui&) = delete;

    // Runs one ImGui frame around draw; returns every vertex position drawn, x then y.
    template <typename Draw>
    std::vector<float> frame(Draw draw)
    {
        ImGui::NewFrame();
        draw();
        ImGui::Render();
        return drawnVertices();
    }
    // Runs one ImGui frame around draw, keeping nothing.
    template <typename Draw>
    void quietFrame(Draw draw)
    {
        ImGui::NewFrame();
        draw();
        ImGui::Render();
    }

    // Allocations ImGui made through its allocator since the context was created.
    static std::size_t imguiAllocations();

private:
    static std::vector<float> drawnVertices();
};

} // namespace torvane
