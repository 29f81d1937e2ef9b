#include "app/recent_drives_menu.h"

#include <algorithm>

#include "core/player_messages.h"
#include "render/graphics_device.h"

namespace torvane {
namespace {

constexpr std::uint32_t kMenuColour = 0xFFFFFF80; // light yellow, apart from the overlay's white
constexpr TextRect kMenuRect{40, 120, 800, 600};

} // namespace

void RecentDrivesMenu::show(std::vector<RecentDrive> list)
{
    drives = std::move(list);
    selection = 0;
    open = true;
    layOut();
}

MenuChoice RecentDrivesMenu::press(KeyCode key)
{
    if (!open) {
        return MenuChoice::None;
    }
    const int last = static_cast<int>(drives.size()) - 1;
    switch (key) {
    case kKeyUp:
        selection = std::max(selection - 1, 0);
        layOut();
        return MenuChoice::None;
    case kKeyDown:
        selection = std::max(std::min(selection + 1, last), 0);
        layOut();
        return MenuChoice::None;
    case kKeyEscape:
    case kKeyL:
        open = false;
        return MenuChoice::Closed;
    case kKeyReturn:
    case kKeyNumpadEnter:
    case kKeyG:
        if (selection > last || !drives[static_cast<std::size_t>(selection)].summary) {
            return MenuChoice::None;
        }
        chosen = drives[static_cast<std::size_t>(selection)].path;
        open = false;
        return key == kKeyG ? MenuChoice::Ghost : MenuChoice::Watch;
    default:
        return MenuChoice::None;
    }
}

void RecentDrivesMenu::layOut()
{
    text.assign(kRecentDrivesTitle);
    text += "\n\n";
    if (drives.empty()) {
        text += kNoRecentDrives;
        return;
    }
    const int count = static_cast<int>(drives.size());
    const int first = std::clamp(selection - kMenuRows / 2, 0, std::max(count - kMenuRows, 0));
    for (int row = first; row < std::min(first + kMenuRows, count); ++row) {
        text += row == selection ? "> " : "   ";
        text += recentDriveLabel(drives[static_cast<std::size_t>(row)]);
        text += '\n';
    }
}

void RecentDrivesMenu::draw(GraphicsDevice& device) const
{
    if (open) {
        device.drawText(text.c_str(), kMenuRect, kTextLeftTop, kMenuColour);
    }
}

} // namespace torvane
