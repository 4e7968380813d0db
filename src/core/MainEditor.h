#pragma once

#include <functional>

#include "core/SharedText.h"
#include "core/Text.h"

namespace velmor {

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
    // Inserts at the very end (caret moved there and shown); one notification; sets the flag.
    virtual void AppendText(const Text& text) = 0;
    // The whole text as a snapshot; an editor that keeps its text in shared chunks hands them
    // out without copying the document.
    virtual SharedText ReadSnapshot() const { return SharedText(ReadText()); }
    // ReplaceText with a snapshot's text.
    virtual void ReplaceSnapshot(const SharedText& text) { ReplaceText(text.Flatten()); }

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
