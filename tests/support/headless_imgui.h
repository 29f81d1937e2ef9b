// Dear ImGui without a window or a GPU: a context over an 800 × 600 display
// whose frames end in ImGui's own draw lists and the chart images shown, and a
// count of ImGui's own allocations (routed through ImGui's allocator hooks).
#pragma once

#include <cstddef>
#include <vector>

#include <imgui.h>

#include "panels/chart_image.h"
#include "panels/chart_textures.h"

namespace torvane {

// What one frame drew: every vertex position, x then y, and every pixel of the
// chart images shown, in the order they were shown.
struct HeadlessPicture {
    std::vector<float> vertices;
    std::vector<ImU32> pixels;
    bool operator==(const HeadlessPicture&) const = default;
};

class HeadlessImGui final : public ChartTextures {
public:
    HeadlessImGui();
    ~HeadlessImGui() override;
    HeadlessImGui(const HeadlessImGui&) = delete;
    HeadlessImGui& operator=(const HeadlessImGui&) = delete;

    // Runs one ImGui frame around draw, keeping nothing.
    template <typename Draw>
    void quietFrame(Draw draw)
    {
        shown.clear();
        ImGui::NewFrame();
        draw();
        ImGui::Render();
    }
    // Runs one ImGui frame around draw; returns what it drew.
    template <typename Draw>
    HeadlessPicture frame(Draw draw)
    {
        quietFrame(draw);
        return picture();
    }

    // The image itself stands for its texture.
    ChartTexture texture(const ChartImage& image) override;
    void opaqueRun(ImDrawList&, bool) override {}

    // Allocations ImGui made through its allocator since the context was created.
    static std::size_t imguiAllocations();

private:
    HeadlessPicture picture() const;

    std::vector<const ChartImage*> shown;
};

} // namespace torvane
