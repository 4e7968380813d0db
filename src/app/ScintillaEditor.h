#pragma once

#include <Qsci/qsciscintilla.h>

#include "core/MainEditor.h"

namespace velmor {

// MainEditor on QScintilla in UTF-8 mode. The document stays GBK bytes: reading encodes the
// buffer with the code-page bridge, writing decodes into it, so no byte is ever lost.
class ScintillaEditor : public QsciScintilla, public MainEditor {
    Q_OBJECT

public:
    explicit ScintillaEditor(QWidget* parent = nullptr);

    Text ReadText() const override;
    void ReplaceText(const Text& text) override;
    void AppendText(const Text& text) override;
    int SelectionStart() const override;
    int SelectionLength() const override;
    void SetSelectionStart(int start) override;
    void SetSelectionLength(int length) override;
    bool ModifiedFlag() const override;
    void SetModifiedFlag(bool modified) override;
    void SetChangeListener(ChangeListener listener) override;

    // Word wrap (vertical scroll bar only) or no wrap (both scroll bars); keeps the text.
    void SetWordWrap(bool on);
    bool WordWrap() const;
    void SetTextFont(const QFont& font);
    void SetTextColor(const QColor& color);
};

}  // namespace velmor
