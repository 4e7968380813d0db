#pragma once

#include <QAction>
#include <QObject>
#include <array>
#include <functional>

#include "core/RecentFiles.h"

namespace velmor {

// Binds `RecentFiles` to the three recent-file items and the separator above them: captions
// and visibility follow the model, and all three items run one open handler.
class RecentFilesMenu : public QObject {
    Q_OBJECT

public:
    using OpenHandler = std::function<void(int slot)>;

    RecentFilesMenu(std::array<QAction*, 3> items, QAction* separator, QObject* parent = nullptr);

    // Start-up steps 4 to 7: read the slots, caption all three items, route their clicks,
    // apply the show rule.
    void Load(const SettingsStore& settings);
    void Save(SettingsStore& settings) const { m_model.Save(settings); }

    // `AddRecentFile` with a document path (GBK).
    void AddRecentFile(const Text& path);

    const RecentFiles& Model() const { return m_model; }
    // Called with the slot (1..3) of the item clicked.
    void SetOpenHandler(OpenHandler handler) { m_openHandler = std::move(handler); }

signals:
    void itemClicked(int slot);

private:
    void ItemTriggered(QAction* item);
    void Update();

    RecentFiles m_model;
    std::array<QAction*, 3> m_items;
    QAction* m_separator;
    OpenHandler m_openHandler;
};

}  // namespace velmor
