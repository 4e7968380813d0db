#pragma once

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>
#include <memory>
#include <string_view>

#include "app/PreparedDocument.h"
#include "core/DisplayBreaks.h"
#include "core/GbkMirror.h"
#include "core/MainEditor.h"

namespace velmor {

// MainEditor on QScintilla in UTF-8 mode. The document stays GBK bytes: a GbkMirror follows
// every edit of the buffer, so reading never converts the whole buffer; writing decodes into
// it, so no byte is ever lost. Lines too long to lay out at typing speed are shown as rows
// (DisplayBreaks): the mirror sees the buffer without the rows' own line feeds.
// VELMOR_CHECK_MIRROR=1 in the environment checks the mirror against a full conversion after every
// change.
class ScintillaEditor : public QsciScintilla, public MainEditor {
    Q_OBJECT

public:
    explicit ScintillaEditor(QWidget* parent = nullptr);
    ~ScintillaEditor() override;

    Text ReadText() const override;
    void ReplaceText(const Text& text) override;
    void ReplaceText(Text&& text) override;
    void AppendText(const Text& text) override;
    SharedText ReadSnapshot() const override;
    void ReplaceSnapshot(const SharedText& text) override;
    void ReplaceTextWithUtf8(std::string_view utf8) override;
    std::optional<std::vector<std::string_view>> WellFormedUtf8() const override;
    // Compares the mirror with the buffer, converting it chunk by chunk where the text is
    // small enough for that to go unnoticed, and takes the buffer again if they differ.
    void ConfirmText() override;
    // How often the mirror was found out of step and rebuilt: never, unless an edit slipped
    // past the notifications.
    int MirrorRepairs() const { return m_mirrorRepairs; }
    // The buffer without the line feeds that only end rows of a long line: the UTF-8 of the
    // text as the box shows it.
    std::string BufferText() const;
    const DisplayBreaks& Breaks() const { return m_breaks; }
    int SelectionStart() const override;
    int SelectionLength() const override;
    void SetSelectionStart(int start) override;
    void SetSelectionLength(int length) override;
    bool ModifiedFlag() const override;
    void SetModifiedFlag(bool modified) override;
    void SetChangeListener(ChangeListener listener) override;

    // A document for text, made and built on any thread (PreparedDocument::Build).
    std::shared_ptr<PreparedDocument> PrepareSnapshot(const SharedText& text) const;
    // The same for the UTF-8 a later ReplaceTextWithUtf8 gives: those very bytes.
    std::shared_ptr<PreparedDocument> PrepareUtf8(std::string_view utf8) const;
    // The next ReplaceSnapshot, if it is of the prepared text's very version and the document
    // is built, swaps that document in instead of converting the text here; so does the next
    // ReplaceTextWithUtf8 of the prepared bytes.
    void OfferPrepared(std::shared_ptr<PreparedDocument> prepared);

    // Word wrap (vertical scroll bar only) or no wrap (both scroll bars); keeps the text.
    void SetWordWrap(bool on);
    bool WordWrap() const;
    void SetTextFont(const QFont& font);
    void SetTextColor(const QColor& color);
    // The font and colour last given (at start "宋体" 12 pt or the installed CJK stand-in).
    QFont TextFont() const;
    QColor TextColor() const;

    // The clipboard operations of the edit menu; cut and paste raise one change notification.
    void cut() override;
    void paste() override;

protected:
    // Copies and drags carry the selected text without the rows' own line feeds.
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A document without a style byte per text byte: every character is drawn in style 0.
    void UsePlainDocument();
    PreparedDocument::LoaderMaker MakeLoader() const;
    // Takes the offered document and shows it, if it is built and was made for text or else
    // for utf8; false (the offer dropped) otherwise.
    bool ShowOffered(const SharedText* text, std::string_view utf8);
    // Shows document (taking over the caller's reference) with this editor's settings.
    void ShowDocument(void* document);
    // Puts text in the buffer and the mirror: the prepared document when one was offered for
    // it, otherwise converted here.
    void FillBuffer(const SharedText& text);
    // Replaces the whole buffer by what fill puts there, keeping the view's place.
    void ReplaceBuffer(const std::function<void()>& fill);
    std::string_view Buffer() const;
    // The text's UTF-8 bytes [position, position + length): the buffer's, skipping the
    // breaks; valid until the next call.
    std::string_view TextBytes(std::size_t position, std::size_t length) const;
    void AppendBuffer(std::string_view utf8);
    // Appends a whole new text's UTF-8 to the emptied buffer, cut into rows where its lines
    // are long; the breaks it wrote are taken with TakeRows.
    DisplayBreakWriter RowWriter();
    // Keeps the rows of the lines that edits since the last call touched within their
    // lengths, and drops breaks that no longer cut a long line.
    void TidyRows();
    // Tidies the row that line is; true when a break went in or out.
    bool TidyRow(long line);
    void NoteTouched(std::size_t from, std::size_t to);
    // Keeps the layouts of the rows of long lines where there are any (UseLayoutCache), and
    // drops them when the view has moved far (LimitLayoutCache).
    void UseLayoutCache();
    void LimitLayoutCache();
    // Moves the caret over a row's break that Backspace or Delete would take.
    void StepOverBreak(int key);
    void InsertBreak(long position);
    void RemoveBreak(long position);
    void OnModified(int position, int type, int length);
    // The mirror learns of an insertion only once it is done: before the next edit or read.
    void FlushInsertion() const;
    // FlushInsertion, then a check that costs nothing: a mirror that missed an edit of the
    // buffer measures a different length, and is rebuilt from the buffer, which is on screen.
    void KeepMirrorInStep() const;
    void RebuildMirror() const;
    void CheckMirror() const;
    void AnnounceCaret();
    void OnBufferChanged();
    // Makes the buffer show what the text's bytes read as where edits beside raw bytes left
    // it spelling other characters.
    void RespellRawBytes();
    void FinishUserEdit();
    void Notify();
    void ShowCaret();
    void ApplyStyle();
    void ApplyStrikeOut();
    // Keeps only the keys of PlainEditKeyBindings.
    void BindPlainKeys();
    int EditorPositionOf(long bufferPosition) const;
    long BufferPositionOf(int editorPosition, bool roundUp) const;
    bool IsCharacterBoundary(long bufferPosition) const;

    using DirectFunction = long (*)(long pointer, unsigned int message, unsigned long wParam,
                                    long lParam);
    const DirectFunction m_directFunction;
    const long m_directPointer;
    // The document the widget made for itself, kept to be given back before it goes.
    void* m_widgetDocument = nullptr;
    mutable DisplayBreaks m_breaks;
    mutable std::string m_textBytes;
    mutable GbkMirror m_mirror;
    // Buffer spans that edits touched, for TidyRows; kept across the edits that follow.
    std::vector<BufferSpan> m_touched;
    // Set while a break of ours goes in or out: no edit of the text.
    bool m_breakEdit = false;
    int m_layoutCache = SC_CACHE_PAGE;
    long m_cacheTop = 0;
    std::shared_ptr<PreparedDocument> m_offered;
    mutable long m_insertedAt = -1;
    mutable long m_insertedLength = 0;
    bool m_checkMirror = false;
    mutable int m_mirrorRepairs = 0;
    ChangeListener m_listener;
    bool m_modified = false;
    bool m_wholeTextChange = false;
    bool m_userEditPending = false;
    bool m_finishQueued = false;
    bool m_composing = false;
    bool m_wordWrap = true;
    bool m_struckOut = false;
    QFont m_font;
    QColor m_color = Qt::black;
    // The editor position last written as the start, valid while the caret stays at m_startAt.
    int m_start = 0;
    long m_startAt = -1;
};

}  // namespace velmor
