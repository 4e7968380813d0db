#include "core/RecentFiles.h"

#include "core/CodePage936.h"
#include "core/Numbers.h"
#include "core/TextPrimitives.h"

namespace velmor {

namespace {

bool InRange(int slot) {
    return slot >= 1 && slot <= RecentFiles::kSlotCount;
}

}  // namespace

const Text& RecentFiles::Slot(int slot) const {
    static const Text empty;
    return InRange(slot) ? m_slots[slot - 1] : empty;
}

void RecentFiles::SetSlot(int slot, Text path) {
    if (InRange(slot)) {
        m_slots[slot - 1] = std::move(path);
    }
}

void RecentFiles::Load(const SettingsStore& settings) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        SetSlot(slot, settings.ReadString(kRecentFilesKey, ToText(slot)));
    }
}

void RecentFiles::Save(SettingsStore& settings) const {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        settings.WriteString(kRecentFilesKey, ToText(slot), Slot(slot));
    }
}

int RecentFiles::Add(const Text& path) {
    if (path.empty()) {
        return 0;
    }
    int received = 0;
    for (int slot = 1; slot <= kSlotCount && received == 0; ++slot) {
        const Text& held = Slot(slot);
        if (held.empty()) {
            received = slot;
        } else if (TextCompare(held, path, false) == 0) {
            return 0;
        }
    }
    if (received == 0) {
        m_slots[0] = std::move(m_slots[1]);
        m_slots[1] = std::move(m_slots[2]);
        received = kSlotCount;
    }
    m_slots[received - 1] = path;
    ShowItems();
    return received;
}

void RecentFiles::ShowItems() {
    if (m_slots[0].empty()) {
        return;
    }
    m_separatorVisible = true;
    m_itemVisible[0] = true;
    for (int i = 1; i < kSlotCount; ++i) {
        if (!m_slots[i].empty()) {
            m_itemVisible[i] = true;
        }
    }
}

bool RecentFiles::ItemVisible(int slot) const {
    return InRange(slot) && m_itemVisible[slot - 1];
}

std::string RecentFiles::Caption(int slot) const {
    return GbkToUtf8("&" + ToText(slot) + ". " + Slot(slot));
}

}  // namespace velmor
