#include "core/UndoHistory.h"

#include <algorithm>
#include <utility>

namespace velmor {

void UndoHistory::Attach() {
    m_editor.SetChangeListener([this] { Record(); });
}

void UndoHistory::Record() {
    if (!m_busy) {
        Text text = m_editor.ReadText();
        if (!text.empty()) {
            std::shared_ptr<const Text> current = m_slots[kCurrent];
            std::move(m_slots.begin() + 1, m_slots.begin() + kCurrent + 1, m_slots.begin());
            // Word wrap and similar commands write the same text back; share its storage.
            if (current && *current == text) {
                m_slots[kCurrent] = std::move(current);
            } else {
                m_slots[kCurrent] = std::make_shared<const Text>(std::move(text));
            }
            std::fill(m_slots.begin() + kCurrent + 1, m_slots.end(), nullptr);
        }
    }
    m_busy = false;
}

void UndoHistory::Undo() {
    m_busy = true;
    std::move_backward(m_slots.begin(), m_slots.end() - 1, m_slots.end());
    m_slots.front() = nullptr;
    if (const std::shared_ptr<const Text> state = m_slots[kCurrent]) {
        m_editor.ReplaceText(*state);
    }
}

void UndoHistory::Redo() {
    m_busy = true;
    std::move(m_slots.begin() + 1, m_slots.end(), m_slots.begin());
    m_slots.back() = nullptr;
    if (const std::shared_ptr<const Text> state = m_slots[kCurrent]) {
        m_editor.ReplaceText(*state);
    }
}

const Text* UndoHistory::Slot(int index) const {
    if (index < 0 || index >= kSlotCount) {
        return nullptr;
    }
    return m_slots[index].get();
}

std::size_t UndoHistory::HeldBytes() const {
    std::size_t bytes = 0;
    for (int i = 0; i < kSlotCount; ++i) {
        const Text* text = m_slots[i].get();
        if (!text) {
            continue;
        }
        bool seen = false;
        for (int j = 0; j < i && !seen; ++j) {
            seen = m_slots[j].get() == text;
        }
        if (!seen) {
            bytes += text->size();
        }
    }
    return bytes;
}

}  // namespace velmor
