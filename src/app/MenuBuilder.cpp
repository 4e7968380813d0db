#include "app/MenuBuilder.h"

#include <QMenu>

namespace velmor {

namespace {

void AddEntries(QMenu& menu, const std::vector<MenuEntry>& entries, const CommandRegistry& registry,
                BuiltMenu& built) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        const QString caption = QString::fromStdString(entry.caption);
        QAction* action = nullptr;
        switch (entry.kind) {
            case MenuEntry::Kind::Submenu: {
                QMenu* submenu = menu.addMenu(caption);
                submenu->setObjectName(caption);
                AddEntries(*submenu, entry.children, registry, built);
                action = submenu->menuAction();
                action->setObjectName(caption);
                break;
            }
            case MenuEntry::Kind::Separator:
                action = menu.addSeparator();
                if (i + 1 < entries.size() && entries[i + 1].kind == MenuEntry::Kind::RecentFile) {
                    action->setObjectName(QStringLiteral("recent files separator"));
                    built.recentSeparator = action;
                }
                break;
            case MenuEntry::Kind::RecentFile:
                action = menu.addAction(QString());
                action->setObjectName(QStringLiteral("recent file %1").arg(entry.recentSlot));
                if (entry.recentSlot >= 1 && entry.recentSlot <= 3) {
                    built.recentFiles[entry.recentSlot - 1] = action;
                }
                break;
            case MenuEntry::Kind::Command: {
                action = menu.addAction(caption);
                action->setObjectName(caption);
                action->setEnabled(false);
                if (const Command* command = registry.FindByCaption(entry.caption);
                    command != nullptr && !command->shortcut.empty()) {
                    action->setShortcut(QKeySequence::fromString(
                        QString::fromStdString(command->shortcut), QKeySequence::PortableText));
                    action->setShortcutContext(Qt::WindowShortcut);
                }
                built.commands.emplace(entry.caption, action);
                break;
            }
        }
        action->setVisible(!entry.hidden);
    }
}

}  // namespace

BuiltMenu BuildMenuBar(QMenuBar& bar, const std::vector<MenuEntry>& layout,
                       const CommandRegistry& registry) {
    BuiltMenu built;
    for (const MenuEntry& entry : layout) {
        const QString caption = QString::fromStdString(entry.caption);
        QMenu* menu = bar.addMenu(caption);
        menu->setObjectName(caption);
        menu->menuAction()->setObjectName(caption);
        AddEntries(*menu, entry.children, registry, built);
    }
    return built;
}

}  // namespace velmor
