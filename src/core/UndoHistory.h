#pragma once

#include <array>
#include <cstddef>

#include "core/MainEditor.h"

namespace velmor {

// The run-long history of whole-text snapshots behind "&U.撤消" and "重做": 41 slots, slot 20
// the current state, 0..19 older states (19 the most recent), 21..40 undone states (21 the
// most recently undone). Slots are snapshots sharing the editor's chunks, so recording one
// and shifting them never copies a document.
class UndoHistory {
public:
    static constexpr int kSlotCount = 41;
    static constexpr int kCurrent = 20;

    explicit UndoHistory(MainEditor& editor) : m_editor(editor) {}

    // Makes Record the editor's change listener (replacing any other listener).
    void Attach();
    // To be called on every change notification: records the editor's text unless it is
    // empty or the change came from Undo/Redo; always clears HistoryBusy.
    void Record();
    // Steps back one state; writes slot 20 into the editor when it holds one.
    void Undo();
    // Steps forward one undone state; writes slot 20 into the editor when it holds one.
    void Redo();

    bool HistoryBusy() const { return m_busy; }
    // The text of a slot (0..40), or null for an empty slot.
    const SharedText* Slot(int index) const;
    // Bytes of storage held by the slots, storage shared by several slots counted once.
    std::size_t HeldBytes() const;

private:
    MainEditor& m_editor;
    std::array<SharedText, kSlotCount> m_slots;
    bool m_busy = false;
};

}  // namespace velmor
