#include "app/RecentFilesMenu.h"

#include <algorithm>

namespace velmor {

RecentFilesMenu::RecentFilesMenu(std::array<QAction*, 3> items, QAction* separator, QObject* parent)
    : QObject(parent), m_items(items), m_separator(separator) {}

void RecentFilesMenu::Load(const SettingsStore& settings) {
    m_model.Load(settings);
    for (QAction* item : m_items) {
        connect(item, &QAction::triggered, this, [this, item] { ItemTriggered(item); });
    }
    m_model.ShowItems();
    Update();
}

void RecentFilesMenu::AddRecentFile(const Text& path) {
    if (m_model.Add(path) != 0) {
        Update();
    }
}

void RecentFilesMenu::ItemTriggered(QAction* item) {
    const auto found = std::find(m_items.begin(), m_items.end(), item);
    const int slot = static_cast<int>(found - m_items.begin()) + 1;
    emit itemClicked(slot);
    if (m_openHandler) {
        m_openHandler(slot);
    }
}

void RecentFilesMenu::Update() {
    for (int slot = 1; slot <= RecentFiles::kSlotCount; ++slot) {
        QAction* item = m_items[slot - 1];
        // A path's own "&" must show as itself, not as a second access key.
        QString caption = QString::fromStdString(m_model.Caption(slot));
        const qsizetype prefix = caption.indexOf(QLatin1Char(' ')) + 1;
        caption = caption.left(prefix) +
                  caption.mid(prefix).replace(QLatin1Char('&'), QStringLiteral("&&"));
        item->setText(caption);
        if (m_model.ItemVisible(slot)) {
            item->setVisible(true);
        }
    }
    if (m_model.SeparatorVisible()) {
        m_separator->setVisible(true);
    }
}

}  // namespace velmor
