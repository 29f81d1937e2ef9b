// ChartTextures: where the panels' chart images become textures ImGui can
// draw: the desktop's OpenGL host, or a test's stand-in that keeps the images.
// A chart asks for its texture when it is laid out and goes on drawing into
// its pixels; the textures take the pixels when the frame is rendered.
#pragma once

#include <imgui.h>

namespace torvane {

class ChartImage;

// A texture and the rectangle of it that shows one chart image.
struct ChartTexture {
    ImTextureID texture = nullptr;
    ImVec2 topLeft{0.0f, 0.0f};     // texture coordinates
    ImVec2 bottomRight{1.0f, 1.0f};
};

class ChartTextures {
public:
    virtual ~ChartTextures() = default;
    // Where image's pixels are shown, as they are when this frame ends.
    virtual ChartTexture texture(const ChartImage& image) = 0;
    // Opens (open true) or closes, in list, a run of charts drawn without
    // blending: chart images are opaque, and blending them is wasted work.
    virtual void opaqueRun(ImDrawList& list, bool open) = 0;
};

} // namespace torvane
