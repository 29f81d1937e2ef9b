#include "support/headless_imgui.h"

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

std::vector<float> HeadlessImGui::drawnVertices()
{
    std::vector<float> positions;
    const ImDrawData* data = ImGui::GetDrawData();
    for (int list = 0; list < data->CmdListsCount; ++list) {
        for (const ImDrawVert& vertex : data->CmdLists[list]->VtxBuffer) {
            positions.push_back(vertex.pos.x);
            positions.push_back(vertex.pos.y);
        }
    }
    return positions;
}

} // namespace torvane
