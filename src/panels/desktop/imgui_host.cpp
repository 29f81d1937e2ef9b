#include "panels/desktop/imgui_host.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include <SDL.h>
#include <SDL_opengl.h>
#include <imgui.h>
#include <imgui_impl_opengl3.h>
#include <imgui_impl_sdl.h>

#include "panels/chart_image.h"
#include "render/gl/gl_text.h"
#include "render/gl/letterbox.h"

namespace torvane {
namespace {

constexpr float kFontPixels = 15.0f;
// Latin-1 and the ellipsis of "Enregistrer sous…".
constexpr ImWchar kGlyphRanges[] = {0x0020, 0x00FF, 0x2026, 0x2026, 0};
constexpr int kAtlasSide = 512;  // pixels: the charts' shared texture

} // namespace

std::unique_ptr<ImGuiHost> ImGuiHost::create(SDL_Window* window, int width, int height)
{
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // the panels' places are not kept between runs
    io.LogFilename = nullptr;
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
    glDeleteTextures(1, &atlas);
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
}

void ImGuiHost::observe(const SDL_Event& event)
{
    ImGui_ImplSDL2_ProcessEvent(&event);
}

void ImGuiHost::beginFrame()
{
    ImGuiIO& io = ImGui::GetIO();
    // The face is read when a panel first shows: most of a megabyte that a
    // drive without panels never needs. Before the backend builds the atlas.
    if (io.Fonts->Fonts.empty()) {
        const std::string font = defaultSansFontFile();
        if (font.empty() || io.Fonts->AddFontFromFileTTF(font.c_str(), kFontPixels, nullptr, kGlyphRanges) == nullptr) {
            io.Fonts->AddFontDefault();
        }
    }
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
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
    uploadShownCharts();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}

bool ImGuiHost::wantsText() const
{
    return ImGui::GetIO().WantTextInput;
}

ChartTexture ImGuiHost::texture(const ChartImage& image)
{
    auto known = std::find_if(charts.begin(), charts.end(), [&](const ChartPlace& place) {
        return place.image == &image && place.width == image.width() && place.height == image.height();
    });
    if (known == charts.end()) {
        if (!placeChart(image)) {
            if (!std::exchange(atlasFullSaid, true)) {
                std::fprintf(stderr, "panneaux : plus de place pour un graphique de %d × %d pixels\n",
                             image.width(), image.height());
            }
            return ChartTexture{};
        }
        known = charts.end() - 1;
    }
    known->shown = true;
    const auto across = [](int pixels) { return static_cast<float>(pixels) / static_cast<float>(kAtlasSide); };
    return ChartTexture{reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(atlas)),
                        ImVec2(across(known->left), across(known->top)),
                        ImVec2(across(known->left + known->width), across(known->top + known->height))};
}

void ImGuiHost::opaqueRun(ImDrawList& list, bool open)
{
    if (open) {
        list.AddCallback([](const ImDrawList*, const ImDrawCmd*) { glDisable(GL_BLEND); }, nullptr);
    } else {
        list.AddCallback(ImDrawCallback_ResetRenderState, nullptr); // blending on again, as ImGui draws
    }
}

bool ImGuiHost::placeChart(const ChartImage& image)
{
    if (atlas == 0) {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGenTextures(1, &atlas);
        glBindTexture(GL_TEXTURE_2D, atlas);
        // Shown pixel for pixel: nearest sampling is exact and the cheapest.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kAtlasSide, kAtlasSide, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    }
    if (shelfLeft + image.width() > kAtlasSide) {
        shelfTop += shelfHeight;
        shelfLeft = 0;
        shelfHeight = 0;
    }
    if (image.width() > kAtlasSide || shelfTop + image.height() > kAtlasSide) {
        return false;
    }
    // Uploaded once shown, whatever the image's revision.
    charts.push_back(ChartPlace{&image, shelfLeft, shelfTop, image.width(), image.height(), false, ~image.revision()});
    shelfLeft += image.width();
    shelfHeight = std::max(shelfHeight, image.height());
    return true;
}

void ImGuiHost::uploadShownCharts()
{
    GLint bound = 0;
    GLint alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, atlas);
    for (ChartPlace& place : charts) {
        if (place.shown && place.uploaded != place.image->revision()) {
            place.uploaded = place.image->revision();
            glTexSubImage2D(GL_TEXTURE_2D, 0, place.left, place.top, place.width, place.height, GL_RGBA,
                            GL_UNSIGNED_BYTE, place.image->pixels());
        }
        place.shown = false;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

} // namespace torvane
