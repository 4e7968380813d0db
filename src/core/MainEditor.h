#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/SharedText.h"
#include "core/Text.h"

namespace velmor {

// Read access to the whole text: a reference to the editor's own buffer where it keeps the
// text in one piece, otherwise a copy owned by the lease. Valid until the next change.
class TextLease {
public:
    static TextLease Borrow(const Text& text) { return TextLease(&text, {}); }
    static TextLease Own(Text text) { return TextLease(nullptr, std::move(text)); }

    TextLease(TextLease&& other) noexcept
        : m_owned(std::move(other.m_owned)),
          m_lent(other.m_lent == &other.m_owned ? &m_owned : other.m_lent) {}
    TextLease(const TextLease&) = delete;
    TextLease& operator=(const TextLease&) = delete;
    TextLease& operator=(TextLease&&) = delete;

    const Text& Get() const { return *m_lent; }

private:
    TextLease(const Text* lent, Text owned)
        : m_owned(std::move(owned)), m_lent(lent ? lent : &m_owned) {}

    Text m_owned;
    const Text* m_lent;
};

// The document's edit box as the commands see it. Positions of the selection are editor
// positions (characters from 0, see Positions.h).
class MainEditor {
public:
    virtual ~MainEditor() = default;

    // The whole text as a new byte string.
    virtual Text ReadText() const = 0;
    // Replaces the whole text, even with the same text; exactly one change notification after.
    virtual void ReplaceText(const Text& text) = 0;
    // The same for a text the caller gives up: an editor that can keep the buffer takes it
    // without a copy.
    virtual void ReplaceText(Text&& text) { ReplaceText(static_cast<const Text&>(text)); }
    // The whole text for reading, without a copy where the editor can lend its buffer. A
    // command that only reads, or builds its result in a new buffer, takes this.
    virtual TextLease LendText() const { return TextLease::Own(ReadText()); }
    // Rewrites the whole text in place where the editor can (otherwise read, rewrite, replace),
    // with the effect of one ReplaceText of the rewritten text.
    virtual void RewriteText(const std::function<void(Text&)>& rewrite) {
        Text text = ReadText();
        rewrite(text);
        ReplaceText(std::move(text));
    }
    // RewriteText for a rewrite that keeps the length: map(text, out) writes text.size() bytes
    // at out, which is either text's own bytes (an editor that owns its buffer maps it in
    // place) or a new buffer (where the text is shared with snapshots: the result is written
    // in the same pass that reads it, with no copy of the text first).
    using TextMap = std::function<void(std::string_view text, char* out)>;
    virtual void MapText(const TextMap& map) {
        RewriteText([&](Text& text) { map(text, text.data()); });
    }
    // Inserts at the very end (caret moved there and shown); one notification; sets the flag.
    virtual void AppendText(const Text& text) = 0;
    // The whole text as a snapshot; an editor that keeps its text in shared chunks hands them
    // out without copying the document.
    virtual SharedText ReadSnapshot() const { return SharedText(ReadText()); }
    // ReplaceText with a snapshot's text.
    virtual void ReplaceSnapshot(const SharedText& text) { ReplaceText(text.Flatten()); }
    // ReplaceText with the text whose UTF-8 is utf8, which is well-formed: an editor that keeps
    // its text as UTF-8 takes these very bytes, with no conversion to GBK and back.
    virtual void ReplaceTextWithUtf8(std::string_view utf8);
    // The text as UTF-8 in pieces, where the editor keeps it so and the bytes are well-formed
    // UTF-8 (then exactly GbkToUtf8 of the text); valid until the next change. Otherwise none.
    virtual std::optional<std::vector<std::string_view>> WellFormedUtf8() const {
        return std::nullopt;
    }
    // Called before a file is written from the text: an editor that keeps the text in two
    // forms makes sure they agree, the one on screen winning.
    virtual void ConfirmText() {}

    virtual int SelectionStart() const = 0;
    virtual int SelectionLength() const = 0;
    // Writing the start and then the length selects that range and shows it.
    virtual void SetSelectionStart(int start) = 0;
    virtual void SetSelectionLength(int length) = 0;

    virtual bool ModifiedFlag() const = 0;
    virtual void SetModifiedFlag(bool modified) = 0;

    // Called after every change of the text: typing, ReplaceText or AppendText.
    using ChangeListener = std::function<void()>;
    virtual void SetChangeListener(ChangeListener listener) = 0;
};

}  // namespace velmor
