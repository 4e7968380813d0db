#include "core/MemoryEditor.h"

#include <algorithm>

#include "core/Positions.h"

namespace velmor {

void MemoryEditor::ReplaceText(const Text& text) {
    ReplaceText(Text(text));
}

void MemoryEditor::ReplaceText(Text&& text) {
    m_text = std::move(text);
    AfterReplace();
}

void MemoryEditor::RewriteText(const std::function<void(Text&)>& rewrite) {
    rewrite(m_text);
    AfterReplace();
}

void MemoryEditor::AfterReplace() {
    m_selectionStart = CaretAfterReplace(m_selectionStart, m_text.size(),
                                         [this] { return CharacterCount(m_text); });
    m_selectionLength = 0;
    Notify();
}

void MemoryEditor::AppendText(const Text& text) {
    m_text += text;
    m_selectionStart = CharacterCount(m_text);
    m_selectionLength = 0;
    m_modified = true;
    Notify();
}

void MemoryEditor::Type(const Text& text) {
    m_text = text;
    m_modified = true;
    Notify();
}

void MemoryEditor::SetSelectionStart(int start) {
    m_selectionStart = std::clamp(start, 0, CharacterCount(m_text));
    m_selectionLength = 0;
}

void MemoryEditor::SetSelectionLength(int length) {
    m_selectionLength = std::clamp(length, 0, CharacterCount(m_text) - m_selectionStart);
}

MessageAnswer MemoryEditor::ShowMessage(MessageKind kind, const std::string& text,
                                        const std::string& title) {
    m_messages.push_back({kind, text, title});
    if (kind != MessageKind::Question) {
        return MessageAnswer::None;
    }
    if (m_answers.empty()) {
        return m_defaultAnswer;
    }
    MessageAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void MemoryEditor::Notify() {
    ++m_notifications;
    if (m_listener) {
        m_listener();
    }
}

}  // namespace velmor
