#include "app/desktop_panels.h"

#include <filesystem>

#include "app/game.h"
#include "platform/user_folders.h"

namespace torvane {

std::string savedCarsFolder()
{
    const std::string data = userDataFolder();
    // Without a home the data folder's own cars folder, which may refuse the write.
    return data.empty() ? std::string("cars") : (std::filesystem::path(data) / "cars").string();
}

std::unique_ptr<DesktopPanels> DesktopPanels::create(Game& game, SDL_Window* window, int width, int height)
{
    std::unique_ptr<ImGuiHost> host = ImGuiHost::create(window, width, height);
    if (host == nullptr) {
        return nullptr;
    }
    auto panels = std::unique_ptr<DesktopPanels>(new DesktopPanels(game, std::move(host)));
    game.panels = panels.get();
    return panels;
}

DesktopPanels::DesktopPanels(Game& game, std::unique_ptr<ImGuiHost> imgui)
    : owner(game), host(std::move(imgui)), panels(savedCarsFolder(), *host)
{
    setDesktopEventObserver(host.get());
}

DesktopPanels::~DesktopPanels()
{
    setDesktopEventObserver(nullptr);
    if (owner.panels == this) {
        owner.panels = nullptr;
    }
}

void DesktopPanels::draw(Game& game, const FrameActions& actions)
{
    panels.toggle(actions.tyrePanelToggled, actions.setupPanelToggled);
    if (!panels.anyShown()) {
        return;
    }
    host->beginFrame();
    panels.draw(game.playerCar);
    host->endFrame();
}

} // namespace torvane
