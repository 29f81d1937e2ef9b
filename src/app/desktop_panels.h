// DesktopPanels: the game's panels on the desktop: the tyre and car setup
// panels (PanelSet) drawn through Dear ImGui over the game's window, after the
// game's picture and before it is presented; nothing at all while both are
// hidden. A car saved from the setup panel goes into the user's cars folder
// ($XDG_DATA_HOME/torvane/cars), never into the game's data folder, whose car
// file the game watches.
//
// Shortcoming: one ImGui host per program (ImGui's backends keep one window).
#pragma once

#include <memory>
#include <string>

#include "app/game_panels.h"
#include "panels/desktop/imgui_host.h"
#include "panels/panel_set.h"

struct SDL_Window;

namespace torvane {

// The user's folder for the cars the setup panel saves.
std::string savedCarsFolder();

class DesktopPanels final : public GamePanels {
public:
    // Sets ImGui up over window (back buffer width × height) for game, whose
    // panels it becomes; nullptr when ImGui cannot start.
    static std::unique_ptr<DesktopPanels> create(Game& game, SDL_Window* window, int width, int height);
    // Leaves game without panels.
    ~DesktopPanels() override;

    void draw(Game& game, const FrameActions& actions) override;
    bool wantsText() const override { return host->wantsText(); }

    DesktopPanels(const DesktopPanels&) = delete;
    DesktopPanels& operator=(const DesktopPanels&) = delete;

private:
    DesktopPanels(Game& game, std::unique_ptr<ImGuiHost> host);

    Game& owner;
    std::unique_ptr<ImGuiHost> host;
    PanelSet panels;
};

} // namespace torvane
