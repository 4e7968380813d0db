#pragma once

#include <Qsci/qsciscintillabase.h>

#include <QAccessibleWidget>

namespace velmor {

// The editor as assistive technologies see it: an editable text whose offsets are found
// through Scintilla's per-line UTF-16 index in logarithmic time. The widget's own accessible
// support counts characters from the start of the document on every change and caret move.
class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EditorAccessible(QsciScintillaBase* editor);

    // Takes the given class's accessible interface; install before the first editor exists.
    static void Install(const char* className);

    // UTF-16 offset of a buffer position, through the shown document's index.
    static int OffsetOf(QsciScintillaBase* editor, long position);
    // Gives the shown document the index if it has none yet, or takes it away (before a
    // whole new text goes in, which it would otherwise count as it arrives).
    static void UseIndex(QsciScintillaBase* editor);
    static void DropIndex(QsciScintillaBase* editor);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(QAccessible::Text kind) const override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QsciScintillaBase* Editor() const { return static_cast<QsciScintillaBase*>(widget()); }
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    long PositionOf(int offset) const;
    int Offset(long position) const;
    // Offsets of the line around offset, from which the boundary queries are answered.
    void LineAround(int offset, int* lineStart, int* lineEnd) const;
};

}  // namespace velmor
