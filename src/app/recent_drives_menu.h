// RecentDrivesMenu: the list of recent drives over the picture. L opens it
// (reading the folder then) and closes it, as does Escape; Up and Down move
// the choice, Return picks the drive to watch and G the drive to use as the
// ghost. Keys are given as they go down; the menu knows nothing of SDL.
//
// Shortcomings: shows kMenuRows rows at a time, scrolling with the choice;
// the labels are made when the list opens.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/recent_drives.h"
#include "input/key_codes.h"

namespace torvane {

class GraphicsDevice;

inline constexpr int kMenuRows = 15;

// What a key asked of the game.
enum class MenuChoice { None, Watch, Ghost, Closed };

class RecentDrivesMenu {
public:
    bool isOpen() const { return open; }
    // Shows drives, the first one chosen; the labels are made here.
    void show(std::vector<RecentDrive> drives);
    // Acts on a key that went down. Watch and Ghost close the menu; chosenPath
    // then names the file (an unreadable one is never picked).
    MenuChoice press(KeyCode key);
    const std::filesystem::path& chosenPath() const { return chosen; }
    int selected() const { return selection; }
    // The title, then the visible rows, the chosen one marked "> ".
    void draw(GraphicsDevice& device) const;

private:
    bool open = false;
    std::vector<RecentDrive> drives;
    std::string text; // the rows as drawn, rebuilt when the choice moves
    int selection = 0;
    std::filesystem::path chosen;

    void layOut();
};

} // namespace torvane
