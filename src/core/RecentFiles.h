#pragma once

#include <array>
#include <string>

#include "core/Services.h"
#include "core/Text.h"

namespace velmor {

inline constexpr const char* kRecentFilesKey = "Software\\Zelbra 记事本\\常用文件";

// `RecentFiles`: three slots of document paths (GBK texts, empty for none) together with the
// visibility of the three menu items and the separator above them, which only ever grows.
class RecentFiles {
public:
    static constexpr int kSlotCount = 3;

    // Slot 1..3; an empty text for an empty slot or a number out of range.
    const Text& Slot(int slot) const;
    void SetSlot(int slot, Text path);

    // Reads slot i from value name ToText(i) of kRecentFilesKey.
    void Load(const SettingsStore& settings);
    // Writes all three slots, empty ones as empty strings.
    void Save(SettingsStore& settings) const;

    // `AddRecentFile`: the first empty slot ends the walk; a path equal to a walked slot
    // (ASCII case ignored) changes nothing; a full list drops slot 1. Returns the slot that
    // received the path, or 0 when nothing changed. Applies the show rule afterwards.
    int Add(const Text& path);

    // The show rule: with slot 1 filled the separator and item 1 show, items 2 and 3 when
    // their slot is filled; nothing is ever hidden again, and an empty slot 1 changes nothing.
    void ShowItems();

    bool SeparatorVisible() const { return m_separatorVisible; }
    bool ItemVisible(int slot) const;

    // "&" + ToText(i) + ". " + path of slot i, as UTF-8 for the menu.
    std::string Caption(int slot) const;

private:
    std::array<Text, kSlotCount> m_slots;
    std::array<bool, kSlotCount> m_itemVisible{};
    bool m_separatorVisible = false;
};

}  // namespace velmor
