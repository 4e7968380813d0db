#pragma once

#include <QAction>
#include <QMenuBar>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/MenuLayout.h"

namespace velmor {

// The actions of a menu bar built from the menu layout.
struct BuiltMenu {
    std::map<std::string, QAction*, std::less<>> commands;  // by registered caption
    std::array<QAction*, 3> recentFiles{};
    QAction* recentSeparator = nullptr;
};

// Fills bar with the layout's submenus, separators and items. Every action and menu is
// named after its caption; the recent-file items are "recent file 1".."recent file 3" and
// the separator above them "recent files separator". Command items carry the registry's
// shortcut (active while the window is) and start disabled; hidden entries start hidden.
BuiltMenu BuildMenuBar(QMenuBar& bar, const std::vector<MenuEntry>& layout,
                       const CommandRegistry& registry);

}  // namespace velmor
