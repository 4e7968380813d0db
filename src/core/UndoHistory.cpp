#include "core/UndoHistory.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace velmor {

void UndoHistory::Attach() {
    m_editor.SetChangeListener([this] { Record(); });
}

void UndoHistory::Record() {
    if (!m_busy) {
        SharedText text = m_editor.ReadSnapshot();
        if (!text.Empty()) {
            SharedText current = m_slots[kCurrent];
            std::move(m_slots.begin() + 1, m_slots.begin() + kCurrent + 1, m_slots.begin());
            // Word wrap and similar commands write the same text back; share its storage.
            m_slots[kCurrent] = current == text ? std::move(current) : std::move(text);
            std::fill(m_slots.begin() + kCurrent + 1, m_slots.end(), SharedText());
        }
    }
    m_busy = false;
}

void UndoHistory::Undo() {
    m_busy = true;
    std::move_backward(m_slots.begin(), m_slots.end() - 1, m_slots.end());
    m_slots.front() = SharedText();
    if (!m_slots[kCurrent].Empty()) {
        m_editor.ReplaceSnapshot(m_slots[kCurrent]);
    }
}

void UndoHistory::Redo() {
    m_busy = true;
    std::move(m_slots.begin() + 1, m_slots.end(), m_slots.begin());
    m_slots.back() = SharedText();
    if (!m_slots[kCurrent].Empty()) {
        m_editor.ReplaceSnapshot(m_slots[kCurrent]);
    }
}

const SharedText* UndoHistory::Slot(int index) const {
    if (index < 0 || index >= kSlotCount || m_slots[index].Empty()) {
        return nullptr;
    }
    return &m_slots[index];
}

std::size_t UndoHistory::HeldBytes() const {
    std::unordered_set<const std::string*> seen;
    std::size_t bytes = 0;
    for (const SharedText& slot : m_slots) {
        for (const SharedText::Chunk& chunk : slot.Pieces()) {
            if (seen.insert(chunk.buffer.get()).second) {
                bytes += chunk.buffer->size();
            }
        }
    }
    return bytes;
}

}  // namespace velmor
