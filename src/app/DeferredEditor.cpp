#include "app/DeferredEditor.h"

#include <algorithm>
#include <utility>

#include "core/LargeText.h"
#include "core/Positions.h"

namespace velmor {

DeferredEditor::DeferredEditor(EditorSnapshot snapshot, MessageRelay messages)
    : m_text(std::move(snapshot.text)),
      m_selectionStart(snapshot.selectionStart),
      m_selectionLength(snapshot.selectionLength),
      m_modified(snapshot.modified),
      m_messages(std::move(messages)) {}

const Text& DeferredEditor::Flat() const {
    static const Text empty;
    if (m_text.Empty()) {
        return empty;
    }
    // A text that is one whole buffer (a loaded file, a command's result) is lent as it is.
    if (const std::string* whole = m_text.WholeBuffer()) {
        return *whole;
    }
    if (!m_flat) {
        m_flat = m_text.Flatten();
    }
    return *m_flat;
}

TextLease DeferredEditor::LendText() const {
    return TextLease::Borrow(Flat());
}

int DeferredEditor::CurrentCharacterCount() const {
    return CharacterCount(Flat());
}

void DeferredEditor::ReplaceSnapshot(const SharedText& text) {
    m_text = text;
    m_flat.reset();
    m_writes.push_back({WriteKind::Replace, text, {}, 0});
    m_selectionStart = CaretAfterReplace(m_selectionStart, m_text.Size(),
                                         [this] { return CurrentCharacterCount(); });
    m_selectionLength = 0;
    Changed();
}

void DeferredEditor::RewriteText(const std::function<void(Text&)>& rewrite) {
    Text text = m_flat ? std::move(*m_flat) : m_text.Flatten();
    m_flat.reset();
    rewrite(text);
    ReplaceText(std::move(text));
}

void DeferredEditor::MapText(const TextMap& map) {
    const std::string* whole = m_text.WholeBuffer();
    if (whole == nullptr) {
        // The text is flattened into a copy of this editor's own, mapped where it lies.
        MainEditor::MapText(map);
        return;
    }
    Text mapped;
    ResizeLargeText(mapped, whole->size());
    map(*whole, mapped.data());
    ReplaceText(std::move(mapped));
}

const SharedText* DeferredEditor::LastReplacement() const {
    const auto last = std::find_if(m_writes.rbegin(), m_writes.rend(), [](const Write& write) {
        return write.kind == WriteKind::Replace;
    });
    return last == m_writes.rend() ? nullptr : &last->replacement;
}

void DeferredEditor::AppendText(const Text& text) {
    SharedText::Chunks pieces = m_text.Pieces();
    if (!text.empty()) {
        pieces.push_back({std::make_shared<const std::string>(text), 0, text.size(), 0});
    }
    m_text = SharedText(std::move(pieces));
    m_flat.reset();
    m_writes.push_back({WriteKind::Append, {}, text, 0});
    m_selectionStart = CurrentCharacterCount();
    m_selectionLength = 0;
    m_modified = true;
    Changed();
}

void DeferredEditor::SetSelectionStart(int start) {
    m_writes.push_back({WriteKind::SelectionStart, {}, {}, start});
    m_selectionStart = std::clamp(start, 0, CurrentCharacterCount());
    m_selectionLength = 0;
}

void DeferredEditor::SetSelectionLength(int length) {
    m_writes.push_back({WriteKind::SelectionLength, {}, {}, length});
    m_selectionLength = std::clamp(length, 0, CurrentCharacterCount() - m_selectionStart);
}

void DeferredEditor::SetModifiedFlag(bool modified) {
    m_writes.push_back({WriteKind::Modified, {}, {}, modified ? 1 : 0});
    m_modified = modified;
}

MessageAnswer DeferredEditor::ShowMessage(MessageKind kind, const std::string& text,
                                          const std::string& title) {
    if (m_messages) {
        return m_messages(kind, text, title);
    }
    return kind == MessageKind::Question ? MessageAnswer::Cancel : MessageAnswer::None;
}

void DeferredEditor::SupportNoticeStep() {
    m_writes.push_back({WriteKind::Notice, {}, {}, 0});
}

void DeferredEditor::Changed() {
    if (m_listener) {
        m_listener();
    }
}

void DeferredEditor::ApplyTo(EditorAccess& editor) {
    const std::vector<Write> writes = std::exchange(m_writes, {});
    for (const Write& write : writes) {
        switch (write.kind) {
            case WriteKind::Replace:
                editor.ReplaceSnapshot(write.replacement);
                break;
            case WriteKind::Append:
                editor.AppendText(write.appended);
                break;
            case WriteKind::SelectionStart:
                editor.SetSelectionStart(write.value);
                break;
            case WriteKind::SelectionLength:
                editor.SetSelectionLength(write.value);
                break;
            case WriteKind::Modified:
                editor.SetModifiedFlag(write.value != 0);
                break;
            case WriteKind::Notice:
                editor.SupportNoticeStep();
                break;
        }
    }
}

}  // namespace velmor
