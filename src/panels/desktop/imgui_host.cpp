#include "panels/desktop/imgui_host.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <imgui.h>
#include <imgui_impl_opengl3.h>
#include <imgui_impl_sdl.h>

#include "render/gl/gl_text.h"
#include "render/gl/letterbox.h"

namespace torvane {
namespace {

constexpr float kFontPixels = 15.0f;
// Latin-1 and the ellipsis of "Enregistrer sous…".
constexpr ImWchar kGlyphRanges[] = {0x0020, 0x00FF, 0x2026, 0x2026, 0};

} // namespace

std::unique_ptr<ImGuiHost> ImGuiHost::create(SDL_Window* window, int width, int height)
{
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // the panels' places are not kept between runs
    // Hard-edged lines and fills: the anti-aliased ones add a blended fringe
    // to every line and dot, a fifth of the panel's cost on a software rasteriser.
    ImGui::GetStyle().AntiAliasedLines = false;
    ImGui::GetStyle().AntiAliasedFill = false;
    io.LogFilename = nullptr;
    const std::string font = defaultSansFontFile();
    if (font.empty() || io.Fonts->AddFontFromFileTTF(font.c_str(), kFontPixels, nullptr, kGlyphRanges) == nullptr) {
        io.Fonts->AddFontDefault();
    }
    if (!ImGui_ImplSDL2_InitForOpenGL(window, SDL_GL_GetCurrentContext())) {
        ImGui::DestroyContext();
        return nullptr;
    }
    if (!ImGui_ImplOpenGL3_Init("#version 330 core")) {
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext();
        return nullptr;
    }
    return std::unique_ptr<ImGuiHost>(new ImGuiHost(window, width, height));
}

ImGuiHost::~ImGuiHost()
{
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
}

// A scissored clear: a software rasteriser clears a rectangle far faster than
// it blends a textured one. The backend sets its own scissor for the next command.
void ImGuiHost::fillClipRectangle(const ImDrawList*, const ImDrawCmd* command)
{
    const ImVec4 colour = *static_cast<const ImVec4*>(command->UserCallbackData);
    const ImVec4 card = command->ClipRect;  // pixels from the top left, as the viewport
    GLint viewport[4] = {};
    GLfloat previous[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, previous);
    const auto pixel = [](float value) { return static_cast<GLint>(value); };
    glScissor(pixel(card.x), viewport[3] - pixel(card.w), pixel(card.z) - pixel(card.x), pixel(card.w) - pixel(card.y));
    glClearColor(colour.x, colour.y, colour.z, colour.w);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(previous[0], previous[1], previous[2], previous[3]);
}

void ImGuiHost::observe(const SDL_Event& event)
{
    ImGui_ImplSDL2_ProcessEvent(&event);
}

void ImGuiHost::beginFrame()
{
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    // The backend measured the window; ImGui draws on the back buffer instead.
    int windowWidth = 0;
    int windowHeight = 0;
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    const ScreenArea area = letterbox(width, height, drawableWidth, drawableHeight);
    if (io.MousePos.x > -FLT_MAX && windowWidth > 0 && windowHeight > 0 && area.width > 0 && area.height > 0) {
        const float x = io.MousePos.x * static_cast<float>(drawableWidth) / static_cast<float>(windowWidth);
        const float y = io.MousePos.y * static_cast<float>(drawableHeight) / static_cast<float>(windowHeight);
        io.MousePos = ImVec2((x - static_cast<float>(area.x)) * static_cast<float>(width) / static_cast<float>(area.width),
                             (y - static_cast<float>(area.y)) * static_cast<float>(height) /
                                 static_cast<float>(area.height));
    }
    io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
    io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    ImGui::NewFrame();
}

void ImGuiHost::endFrame()
{
    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}

bool ImGuiHost::wantsText() const
{
    return ImGui::GetIO().WantTextInput;
}

} // namespace torvane
