#include "support/headless_imgui.h"

#include <algorithm>
#include <cstdlib>

namespace torvane {
namespace {

std::size_t allocations = 0;

void* countingAllocate(std::size_t size, void*)
{
    ++allocations;
    return std::malloc(size);
}

void countingFree(void* block, void*)
{
    std::free(block);
}

} // namespace

HeadlessImGui::HeadlessImGui()
{
    ImGui::SetAllocatorFunctions(countingAllocate, countingFree);
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(800.0f, 600.0f);
    io.DeltaTime = 1.0f / 60.0f;
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height); // builds the font atlas
}

HeadlessImGui::~HeadlessImGui()
{
    ImGui::DestroyContext();
}

std::size_t HeadlessImGui::imguiAllocations()
{
    return allocations;
}

ChartTexture HeadlessImGui::texture(const ChartImage& image)
{
    if (std::find(shown.begin(), shown.end(), &image) == shown.end()) {
        shown.push_back(&image);
    }
    return ChartTexture{const_cast<ChartImage*>(&image)};
}

HeadlessPicture HeadlessImGui::picture() const
{
    HeadlessPicture drawn;
    const ImDrawData* data = ImGui::GetDrawData();
    for (int list = 0; list < data->CmdListsCount; ++list) {
        for (const ImDrawVert& vertex : data->CmdLists[list]->VtxBuffer) {
            drawn.vertices.push_back(vertex.pos.x);
            drawn.vertices.push_back(vertex.pos.y);
        }
    }
    for (const ChartImage* image : shown) {
        drawn.pixels.insert(drawn.pixels.end(), image->pixels(),
                            image->pixels() + static_cast<std::size_t>(image->width() * image->height()));
    }
    return drawn;
}

} // namespace torvane
