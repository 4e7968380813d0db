#include "app/EditorAccessible.h"

#include <QAccessible>
#include <QByteArray>
#include <QWidget>
#include <algorithm>

namespace velmor {

namespace {

const char* g_className = nullptr;

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (g_className && object && object->isWidgetType() &&
        className == QLatin1String(g_className)) {
        return new EditorAccessible(static_cast<QsciScintillaBase*>(object));
    }
    return nullptr;
}

constexpr long kUtf16Index = QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16;

// The boundary queries of one line, answered by Qt's own rules over that line's text alone.
class LineText : public QAccessibleTextInterface {
public:
    explicit LineText(QString text) : m_text(std::move(text)) {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return m_text.mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(m_text.size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = *end = 0;
        return {};
    }

private:
    QString m_text;
};

// Asks a boundary question of the span of text starting at spanStart alone and moves the
// answer's offsets back into the document.
template <typename Ask>
QString AskSpan(const QString& span, int spanStart, int offset, int* startOffset, int* endOffset,
                Ask ask) {
    const LineText text(span);
    const QString found = ask(text, offset - spanStart, startOffset, endOffset);
    *startOffset += spanStart;
    *endOffset += spanStart;
    return found;
}

}  // namespace

EditorAccessible::EditorAccessible(QsciScintillaBase* editor)
    : QAccessibleWidget(editor, QAccessible::EditableText) {}

void EditorAccessible::UseIndex(QsciScintillaBase* editor) {
    // Made on the first question, not with the interface: Qt makes the interface whenever
    // the widget is shown, and Scintilla would count every character of every text loaded.
    // It belongs to the shown document, so a document swapped in needs its own.
    if ((editor->SendScintilla(QsciScintillaBase::SCI_GETLINECHARACTERINDEX) & kUtf16Index) == 0) {
        editor->SendScintilla(QsciScintillaBase::SCI_ALLOCATELINECHARACTERINDEX, kUtf16Index);
    }
}

void EditorAccessible::DropIndex(QsciScintillaBase* editor) {
    while ((editor->SendScintilla(QsciScintillaBase::SCI_GETLINECHARACTERINDEX) & kUtf16Index) !=
           0) {
        editor->SendScintilla(QsciScintillaBase::SCI_RELEASELINECHARACTERINDEX, kUtf16Index);
    }
}

void EditorAccessible::Install(const char* className) {
    if (!g_className) {
        g_className = className;
        QAccessible::installFactory(&Factory);
    }
}

int EditorAccessible::OffsetOf(QsciScintillaBase* editor, long position) {
    UseIndex(editor);
    const long line = editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                            static_cast<unsigned long>(position));
    const long lineStart = editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                                 static_cast<unsigned long>(line));
    return static_cast<int>(editor->SendScintilla(QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE,
                                                  static_cast<unsigned long>(line), kUtf16Index) +
                            editor->SendScintilla(QsciScintillaBase::SCI_COUNTCODEUNITS,
                                                  static_cast<unsigned long>(lineStart), position));
}

long EditorAccessible::Send(unsigned int message, unsigned long wParam, long lParam) const {
    return Editor()->SendScintilla(message, wParam, lParam);
}

int EditorAccessible::Offset(long position) const {
    return OffsetOf(Editor(), position);
}

long EditorAccessible::PositionOf(int offset) const {
    offset = std::clamp(offset, 0, characterCount());
    UseIndex(Editor());
    const long line = Send(QsciScintillaBase::SCI_LINEFROMINDEXPOSITION,
                           static_cast<unsigned long>(offset), kUtf16Index);
    const long lineStart =
        Send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long lineOffset = Send(QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE,
                                 static_cast<unsigned long>(line), kUtf16Index);
    return Send(QsciScintillaBase::SCI_POSITIONRELATIVECODEUNITS,
                static_cast<unsigned long>(lineStart), offset - lineOffset);
}

void* EditorAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State EditorAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    state.focusable = true;
    return state;
}

void EditorAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && selectionCount() == 1) {
        *startOffset = Offset(Send(QsciScintillaBase::SCI_GETSELECTIONSTART));
        *endOffset = Offset(Send(QsciScintillaBase::SCI_GETSELECTIONEND));
    }
}

int EditorAccessible::selectionCount() const {
    return Send(QsciScintillaBase::SCI_GETSELECTIONSTART) ==
                   Send(QsciScintillaBase::SCI_GETSELECTIONEND)
               ? 0
               : 1;
}

void EditorAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void EditorAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        Send(QsciScintillaBase::SCI_SETEMPTYSELECTION,
             static_cast<unsigned long>(Send(QsciScintillaBase::SCI_GETCURRENTPOS)));
    }
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) {
        Send(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(PositionOf(startOffset)),
             PositionOf(endOffset));
    }
}

int EditorAccessible::cursorPosition() const {
    return Offset(Send(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void EditorAccessible::setCursorPosition(int position) {
    Send(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(PositionOf(position)));
}

QString EditorAccessible::text(QAccessible::Text kind) const {
    return QAccessibleWidget::text(kind);
}

QString EditorAccessible::text(int startOffset, int endOffset) const {
    const long start = PositionOf(startOffset);
    const long end = std::max(start, PositionOf(endOffset));
    if (end == start) {
        return {};
    }
    const auto* bytes = reinterpret_cast<const char*>(Send(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    return QString::fromUtf8(bytes, static_cast<qsizetype>(end - start));
}

void EditorAccessible::LineAround(int offset, int* lineStart, int* lineEnd) const {
    UseIndex(Editor());
    const long line = Send(QsciScintillaBase::SCI_LINEFROMINDEXPOSITION,
                           static_cast<unsigned long>(std::max(offset, 0)), kUtf16Index);
    *lineStart = static_cast<int>(Send(QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE,
                                       static_cast<unsigned long>(line), kUtf16Index));
    const long lines = Send(QsciScintillaBase::SCI_GETLINECOUNT);
    *lineEnd = line + 1 < lines
                   ? static_cast<int>(Send(QsciScintillaBase::SCI_INDEXPOSITIONFROMLINE,
                                           static_cast<unsigned long>(line + 1), kUtf16Index))
                   : characterCount();
}

// The boundary queries look only at the line around the offset (and the next or previous
// one at its edges), never at the whole document.
QString EditorAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const {
    int lineStart = 0;
    int lineEnd = 0;
    LineAround(std::max(offset - 1, 0), &lineStart, &lineEnd);
    if (offset <= lineStart && lineStart > 0) {
        LineAround(lineStart - 1, &lineStart, &lineEnd);
    }
    return AskSpan(text(lineStart, lineEnd), lineStart, offset, startOffset, endOffset,
                   [boundaryType](const LineText& span, int at, int* start, int* end) {
                       return span.textBeforeOffset(at, boundaryType, start, end);
                   });
}

QString EditorAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const {
    int lineStart = 0;
    int lineEnd = 0;
    LineAround(offset, &lineStart, &lineEnd);
    int nextEnd = lineEnd;
    if (lineEnd < characterCount()) {
        int nextStart = 0;
        LineAround(lineEnd, &nextStart, &nextEnd);
    }
    return AskSpan(text(lineStart, nextEnd), lineStart, offset, startOffset, endOffset,
                   [boundaryType](const LineText& span, int at, int* start, int* end) {
                       return span.textAfterOffset(at, boundaryType, start, end);
                   });
}

QString EditorAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                       int* startOffset, int* endOffset) const {
    int lineStart = 0;
    int lineEnd = 0;
    LineAround(offset, &lineStart, &lineEnd);
    return AskSpan(text(lineStart, lineEnd), lineStart, offset, startOffset, endOffset,
                   [boundaryType](const LineText& span, int at, int* start, int* end) {
                       return span.textAtOffset(at, boundaryType, start, end);
                   });
}

int EditorAccessible::characterCount() const {
    return Offset(Send(QsciScintillaBase::SCI_GETLENGTH));
}

QRect EditorAccessible::characterRect(int offset) const {
    const long position = PositionOf(offset);
    const int x = static_cast<int>(Send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, position));
    const int y = static_cast<int>(Send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, position));
    const int height = static_cast<int>(Send(QsciScintillaBase::SCI_TEXTHEIGHT, 0));
    const int width = static_cast<int>(
        Send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0,
             Send(QsciScintillaBase::SCI_POSITIONAFTER, static_cast<unsigned long>(position))) -
        x);
    const QPoint origin = Editor()->viewport()->mapToGlobal(QPoint(x, y));
    return QRect(origin, QSize(std::max(width, 1), height));
}

int EditorAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = Editor()->viewport()->mapFromGlobal(point);
    const long position = Send(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE,
                               static_cast<unsigned long>(local.x()), local.y());
    return position < 0 ? -1 : Offset(position);
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex) {
    Send(QsciScintillaBase::SCI_SCROLLRANGE, static_cast<unsigned long>(PositionOf(endIndex)),
         PositionOf(startIndex));
}

QString EditorAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset + 1;
    return {};
}

}  // namespace velmor
