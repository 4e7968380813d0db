#pragma once

#include <string>
#include <vector>

namespace velmor {

// The main window's menu bar as data: submenus, separators, command items (named by their
// registered caption) and the three recent-file slots.
struct MenuEntry {
    enum class Kind { Submenu, Command, Separator, RecentFile };

    Kind kind = Kind::Command;
    std::string caption;  // submenu or command caption, UTF-8 with its access key
    bool hidden = false;  // hidden when the window opens
    int recentSlot = 0;   // 1..3 for recent-file items
    std::vector<MenuEntry> children;
};

// The menu bar in order, top-level submenus first.
const std::vector<MenuEntry>& MainMenuLayout();

// The captions of every command item, in menu order.
std::vector<std::string> MenuCommandCaptions();

}  // namespace velmor
