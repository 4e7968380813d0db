#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/EditorAccess.h"

namespace velmor {

// What a command reads of the document, taken from the editor before the command runs.
struct EditorSnapshot {
    SharedText text;
    int selectionStart = 0;
    int selectionLength = 0;
    bool modified = false;
};

// The editor of a command that runs away from the document's own editor (on a worker
// thread): it answers reads from a snapshot and from its own writes, and records the writes,
// which ApplyTo later makes on the real editor in the same order. Messages go to a relay that
// hands them to whoever can show them; the notice step is recorded like a write, so that it
// comes after the text it follows. Selection and flag behave as in the in-memory editor,
// which the window's editor matches.
class DeferredEditor : public EditorAccess {
public:
    using MessageRelay =
        std::function<MessageAnswer(MessageKind, const std::string&, const std::string&)>;

    DeferredEditor(EditorSnapshot snapshot, MessageRelay messages);

    Text ReadText() const override { return LendText().Get(); }
    TextLease LendText() const override;
    SharedText ReadSnapshot() const override { return m_text; }
    void ReplaceText(const Text& text) override { ReplaceText(Text(text)); }
    void ReplaceText(Text&& text) override { ReplaceSnapshot(SharedText(std::move(text))); }
    void ReplaceSnapshot(const SharedText& text) override;
    // The text flattened once, into a buffer the rewrite then owns.
    void RewriteText(const std::function<void(Text&)>& rewrite) override;
    // A snapshot of one whole buffer, which the undo history shares, is mapped into a new one.
    void MapText(const TextMap& map) override;
    void AppendText(const Text& text) override;
    int SelectionStart() const override { return m_selectionStart; }
    int SelectionLength() const override { return m_selectionLength; }
    void SetSelectionStart(int start) override;
    void SetSelectionLength(int length) override;
    bool ModifiedFlag() const override { return m_modified; }
    void SetModifiedFlag(bool modified) override;
    void SetChangeListener(ChangeListener listener) override { m_listener = std::move(listener); }

    MessageAnswer ShowMessage(MessageKind kind, const std::string& text,
                              const std::string& title) override;
    void SupportNoticeStep() override;

    // The text of the last whole-text write recorded, or null for none.
    const SharedText* LastReplacement() const;
    // Makes the recorded writes and notice steps on the editor, in order, and forgets them.
    void ApplyTo(EditorAccess& editor);

private:
    enum class WriteKind { Replace, Append, SelectionStart, SelectionLength, Modified, Notice };
    struct Write {
        WriteKind kind;
        SharedText replacement;  // Replace
        Text appended;           // Append
        int value = 0;           // SelectionStart, SelectionLength, Modified (0 or 1)
    };

    // The current text in one piece, flattened only when it is not one already.
    const Text& Flat() const;
    int CurrentCharacterCount() const;
    void Changed();

    SharedText m_text;
    mutable std::optional<Text> m_flat;
    int m_selectionStart;
    int m_selectionLength;
    bool m_modified;
    MessageRelay m_messages;
    ChangeListener m_listener;
    std::vector<Write> m_writes;
};

}  // namespace velmor
