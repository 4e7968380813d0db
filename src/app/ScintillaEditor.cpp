#include "app/ScintillaEditor.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAccessible>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/EditorAccessible.h"
#include "app/IdleWrapStopper.h"
#include "app/PlainEditKeys.h"

#include "core/CodePage936.h"
#include "core/LargeText.h"
#include "core/Positions.h"
#include "core/Utf8.h"

namespace velmor {

namespace {

// Strike-out has no style attribute in Scintilla, so it is drawn with an indicator.
constexpr int kStrikeOutIndicator = QsciScintillaBase::INDIC_CONTAINER;

// Room a whole new text's buffer gets beyond its size, so that the first keys typed do not
// grow it by copying.
constexpr std::size_t kTypingRoom = 65536;
// Text given whole goes into the buffer in pieces of this size.
constexpr std::size_t kAppendPiece = 1024 * 1024;

// "宋体" where it is installed, otherwise the closest CJK face the system has.
QFont DefaultTextFont() {
    const QStringList families = QFontDatabase::families();
    QString family;
    for (const char* name :
         {"宋体", "SimSun", "NSimSun", "Noto Serif CJK SC", "Noto Sans CJK SC"}) {
        if (families.contains(QString::fromUtf8(name))) {
            family = QString::fromUtf8(name);
            break;
        }
    }
    if (family.isEmpty()) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        family = chinese.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont).family()
                                   : chinese.first();
    }
    QFont font(family);
    font.setPointSize(12);
    return font;
}

// Rows of long lines whose layouts are kept around the place last shown (about 160 KB each).
constexpr long kCachedRowsAround = 256;

// Up to this size a save converts the mirror to compare it with the buffer: tens of
// milliseconds at most.
constexpr std::size_t kFullyConfirmedBytes = std::size_t{16} << 20;

}  // namespace

ScintillaEditor::ScintillaEditor(QWidget* parent)
    : QsciScintilla(parent),
      m_directFunction(reinterpret_cast<DirectFunction>(SendScintilla(SCI_GETDIRECTFUNCTION))),
      m_directPointer(SendScintilla(SCI_GETDIRECTPOINTER)),
      m_mirror(
          [this](std::size_t position, std::size_t length) { return TextBytes(position, length); }),
      m_checkMirror(qEnvironmentVariableIntValue("VELMOR_CHECK_MIRROR") != 0) {
    UsePlainDocument();
    EditorAccessible::Install(staticMetaObject.className());
    // Without the after-change notifications the widget's accessible support no longer counts
    // characters from the document start on every edit; the mirror needs only these two.
    SendScintilla(SCI_SETMODEVENTMASK,
                  static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 0L);
    // QScintilla shows annotations by default, and with annotations shown Scintilla lays out
    // every inserted line at once to measure its height: minutes for a large wrapped text.
    SendScintilla(SCI_ANNOTATIONSETVISIBLE, static_cast<long>(ANNOTATION_HIDDEN));
    const long margins = SendScintilla(SCI_GETMARGINS);
    for (int margin = 0; margin < margins; ++margin) {
        setMarginWidth(margin, 0);
    }
    setFolding(NoFoldStyle);
    SendScintilla(SCI_SETSCROLLWIDTH, 1L);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1L);
    SendScintilla(SCI_INDICSETSTYLE, kStrikeOutIndicator, static_cast<long>(INDIC_STRIKE));
    BindPlainKeys();
    new IdleWrapStopper(*this);

    m_font = DefaultTextFont();
    ApplyStyle();
    SetWordWrap(true);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                OnModified(position, type, length);
            });
    connect(this, &QsciScintilla::cursorPositionChanged, this, &ScintillaEditor::AnnounceCaret);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & SC_UPDATE_V_SCROLL) {
            LimitLayoutCache();
        }
    });
}

ScintillaEditor::~ScintillaEditor() {
    SendScintilla(SCI_SETDOCPOINTER, 0UL, m_widgetDocument);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, m_widgetDocument);
}

void ScintillaEditor::UsePlainDocument() {
    // Nothing is styled here (no lexer; the font and colour are those of the default style),
    // so the style bytes would only double the memory of the text.
    m_widgetDocument = SendScintillaPtrResult(SCI_GETDOCPOINTER);
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, m_widgetDocument);
    ShowDocument(reinterpret_cast<void*>(
        SendScintilla(SCI_CREATEDOCUMENT, 0UL, static_cast<long>(SC_DOCUMENTOPTION_STYLES_NONE))));
}

void ScintillaEditor::ShowDocument(void* document) {
    // Tabs, code page, line ends and undo belong to the document, not to the view.
    const long tabWidth = SendScintilla(SCI_GETTABWIDTH);
    const long useTabs = SendScintilla(SCI_GETUSETABS);
    const long indent = SendScintilla(SCI_GETINDENT);
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);
    SendScintilla(SCI_SETTABWIDTH, static_cast<unsigned long>(tabWidth));
    SendScintilla(SCI_SETUSETABS, static_cast<unsigned long>(useTabs));
    SendScintilla(SCI_SETINDENT, static_cast<unsigned long>(indent));
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setEolMode(EolWindows);
}

PreparedDocument::LoaderMaker ScintillaEditor::MakeLoader() const {
    // The widget's direct function makes the loader on the building thread, sized exactly
    // as ReplaceSnapshot sizes its buffer, so that it never grows by copying. Making one
    // touches nothing of the editor but a new document of the loader's own.
    return [function = m_directFunction, pointer = m_directPointer](std::size_t size) {
        return reinterpret_cast<void*>(function(pointer, SCI_CREATELOADER,
                                                size + size / 256 + 65536,
                                                static_cast<long>(SC_DOCUMENTOPTION_STYLES_NONE)));
    };
}

std::shared_ptr<PreparedDocument> ScintillaEditor::PrepareSnapshot(const SharedText& text) const {
    return std::make_shared<PreparedDocument>(text, MakeLoader());
}

std::shared_ptr<PreparedDocument> ScintillaEditor::PrepareUtf8(std::string_view utf8) const {
    return std::make_shared<PreparedDocument>(utf8, MakeLoader());
}

bool ScintillaEditor::ShowOffered(const SharedText* text, std::string_view utf8) {
    const std::shared_ptr<PreparedDocument> prepared = std::exchange(m_offered, nullptr);
    if (!prepared || !prepared->Built() ||
        !(text != nullptr ? !prepared->OfUtf8() && text->SameVersion(prepared->Source())
                          : prepared->IsOf(utf8))) {
        return false;
    }
    ShowDocument(prepared->TakeDocument());
    m_mirror.Install(prepared->TakeAdoption());
    m_breaks.Assign(prepared->TakeBreaks());
    return true;
}

void ScintillaEditor::OfferPrepared(std::shared_ptr<PreparedDocument> prepared) {
    m_offered = std::move(prepared);
}

void ScintillaEditor::BindPlainKeys() {
    // All cleared first: assigning a key takes it from whichever command held it before.
    QList<QsciCommand*> commands = standardCommands()->commands();
    for (QsciCommand* command : commands) {
        command->setKey(0);
        command->setAlternateKey(0);
    }
    for (const EditKeyBinding& binding : PlainEditKeyBindings()) {
        const auto held = std::find_if(commands.begin(), commands.end(), [&](QsciCommand* c) {
            return c->command() == binding.command;
        });
        if (held == commands.end()) {
            continue;
        }
        if ((*held)->key() == 0) {
            (*held)->setKey(binding.key);
        } else {
            (*held)->setAlternateKey(binding.key);
        }
    }
    // An unbound Ctrl+letter must do nothing rather than type a control character.
    for (int code = Qt::Key_A; code <= Qt::Key_Z; ++code) {
        for (const int modifiers : {int{SCMOD_CTRL}, SCMOD_CTRL | SCMOD_SHIFT}) {
            SendScintilla(SCI_ASSIGNCMDKEY, static_cast<unsigned long>(code | (modifiers << 16)),
                          static_cast<long>(SCI_NULL));
        }
    }
}

std::string_view ScintillaEditor::Buffer() const {
    const long length = SendScintilla(SCI_GETLENGTH);
    if (length == 0) {
        return {};
    }
    const auto* data = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return {data, static_cast<std::size_t>(length)};
}

std::string ScintillaEditor::BufferText() const {
    const std::string_view buffer = Buffer();
    std::string text;
    ReserveLargeText(text, buffer.size());
    m_breaks.AppendText(buffer, 0, text);
    return text;
}

std::string_view ScintillaEditor::TextBytes(std::size_t position, std::size_t length) const {
    if (length == 0) {
        return {};
    }
    const auto range = [this](std::size_t from, std::size_t size) {
        const auto* bytes = reinterpret_cast<const char*>(SendScintilla(
            SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(size)));
        return std::string_view(bytes, size);
    };
    if (m_breaks.Empty()) {
        return range(position, length);
    }
    const std::size_t from = m_breaks.BufferPosition(position, true);
    const std::size_t to = m_breaks.BufferPosition(position + length, false);
    m_textBytes.clear();
    m_breaks.AppendText(range(from, to - from), from, m_textBytes);
    return m_textBytes;
}

DisplayBreakWriter ScintillaEditor::RowWriter() {
    return DisplayBreakWriter([this](std::string_view bytes) {
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
    });
}

Text ScintillaEditor::ReadText() const {
    KeepMirrorInStep();
    return m_mirror.Text().Flatten();
}

SharedText ScintillaEditor::ReadSnapshot() const {
    KeepMirrorInStep();
    return m_mirror.Text();
}

void ScintillaEditor::KeepMirrorInStep() const {
    FlushInsertion();
    // The length alone: asking for the buffer itself would move the widget's gap to its end,
    // a copy of the text on every keystroke.
    if (m_mirror.Utf8Size() + m_breaks.Count() !=
        static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH))) {
        RebuildMirror();
    }
}

void ScintillaEditor::RebuildMirror() const {
    std::fputs(
        "velmor: the document had fallen out of step with the edit box and was taken "
        "again from it\n",
        stderr);
    ++m_mirrorRepairs;
    if (m_breaks.Empty()) {
        m_mirror.Rebuild(Buffer());
    } else {
        m_mirror.Rebuild(BufferText());
    }
}

void ScintillaEditor::ConfirmText() {
    KeepMirrorInStep();
    if (m_mirror.Utf8Size() > kFullyConfirmedBytes) {
        return;
    }
    std::string held;
    const std::string_view buffer = m_breaks.Empty() ? Buffer() : (held = BufferText());
    std::size_t start = 0;
    for (const SharedText::Chunk& chunk : m_mirror.Text().Pieces()) {
        if (chunk.utf8Length > buffer.size() - start ||
            Utf8ToGbk(buffer.substr(start, chunk.utf8Length)) != chunk.Bytes()) {
            RebuildMirror();
            return;
        }
        start += chunk.utf8Length;
    }
    if (start != buffer.size()) {
        RebuildMirror();
    }
}

void ScintillaEditor::FlushInsertion() const {
    if (m_insertedAt < 0) {
        return;
    }
    const long position = std::exchange(m_insertedAt, -1);
    m_breaks.Inserted(static_cast<std::size_t>(position),
                      static_cast<std::size_t>(m_insertedLength), false);
    m_mirror.AfterInsert(m_breaks.TextPosition(static_cast<std::size_t>(position)),
                         static_cast<std::size_t>(m_insertedLength));
    if (QAccessible::isActive()) {
        auto* self = const_cast<ScintillaEditor*>(this);
        const auto* bytes = reinterpret_cast<const char*>(self->SendScintilla(
            SCI_GETRANGEPOINTER, static_cast<unsigned long>(position), m_insertedLength));
        QAccessibleTextInsertEvent event(self, EditorAccessible::OffsetOf(self, position),
                                         QString::fromUtf8(bytes, m_insertedLength));
        QAccessible::updateAccessibility(&event);
    }
}

void ScintillaEditor::OnModified(int position, int type, int length) {
    if (m_wholeTextChange || m_breakEdit) {
        return;
    }
    FlushInsertion();
    // The widget's change signal needs the after-change notifications, which stay off.
    OnBufferChanged();
    if (type & SC_MOD_BEFOREINSERT) {
        m_insertedAt = position;
        m_insertedLength = length;
        for (BufferSpan& span : m_touched) {
            span.KeepAcrossInsert(static_cast<std::size_t>(position),
                                  static_cast<std::size_t>(length));
        }
        NoteTouched(static_cast<std::size_t>(position),
                    static_cast<std::size_t>(position + length));
    } else if (type & SC_MOD_BEFOREDELETE) {
        if (QAccessible::isActive()) {
            const auto* bytes = reinterpret_cast<const char*>(
                SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(position),
                              static_cast<long>(length)));
            QAccessibleTextRemoveEvent event(this, EditorAccessible::OffsetOf(this, position),
                                             QString::fromUtf8(bytes, length));
            QAccessible::updateAccessibility(&event);
        }
        const auto at = static_cast<std::size_t>(position);
        const auto bytes = static_cast<std::size_t>(length);
        // Breaks that go with the span are none of the text's bytes.
        if (const std::size_t breaks = m_breaks.CountIn(at, at + bytes); breaks < bytes) {
            m_mirror.BeforeDelete(m_breaks.TextPosition(at), bytes - breaks);
        }
        m_breaks.Deleted(at, bytes);
        for (BufferSpan& span : m_touched) {
            span.KeepAcrossDelete(at, bytes);
        }
        NoteTouched(at, at);
    }
}

void ScintillaEditor::AnnounceCaret() {
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(
            this, EditorAccessible::OffsetOf(this, SendScintilla(SCI_GETCURRENTPOS)));
        QAccessible::updateAccessibility(&event);
    }
}

void ScintillaEditor::CheckMirror() const {
    FlushInsertion();
    if (m_checkMirror && m_mirror.Text().Flatten() != Utf8ToGbk(BufferText())) {
        std::fputs("velmor: the document mirror is out of step with the editor\n", stderr);
        std::abort();
    }
}

void ScintillaEditor::AppendBuffer(std::string_view utf8) {
    // The mirror follows an appended text like any insertion.
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(SendScintilla(SCI_GETLENGTH)));
    if (!utf8.empty()) {
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
    }
    m_userEditPending = false;
    ApplyStrikeOut();
}

void ScintillaEditor::ReplaceText(const Text& text) {
    ReplaceSnapshot(SharedText(text));
}

void ScintillaEditor::ReplaceText(Text&& text) {
    ReplaceSnapshot(SharedText(std::move(text)));
}

void ScintillaEditor::ReplaceSnapshot(const SharedText& text) {
    ReplaceBuffer([this, &text] { FillBuffer(text); });
}

void ScintillaEditor::ReplaceTextWithUtf8(std::string_view utf8) {
    ReplaceBuffer([this, utf8] {
        if (ShowOffered(nullptr, utf8)) {
            return;
        }
        // The bytes go in as they are, into a buffer of the exact size (as FillBuffer sizes
        // it), and the mirror converts them to GBK once, chunk by chunk.
        SendScintilla(SCI_CLEARALL);
        SendScintilla(SCI_ALLOCATE,
                      static_cast<unsigned long>(utf8.size() + utf8.size() / 256 + kTypingRoom));
        DisplayBreakWriter rows = RowWriter();
        for (std::size_t from = 0; from < utf8.size(); from += kAppendPiece) {
            rows.Write(utf8.substr(from, kAppendPiece));
        }
        m_breaks.Assign(rows.TakeBreaks());
        m_mirror.Rebuild(utf8);
    });
}

std::optional<std::vector<std::string_view>> ScintillaEditor::WellFormedUtf8() const {
    // The buffer is the text's UTF-8 only where no line is shown as rows.
    if (!m_breaks.Empty()) {
        return std::nullopt;
    }
    auto* self = const_cast<ScintillaEditor*>(this);
    const auto length = static_cast<std::size_t>(self->SendScintilla(SCI_GETLENGTH));
    const auto gap = static_cast<std::size_t>(self->SendScintilla(SCI_GETGAPPOSITION));
    const auto range = [self](std::size_t position, std::size_t size) {
        if (size == 0) {
            return std::string_view();
        }
        const auto* bytes = reinterpret_cast<const char*>(self->SendScintilla(
            SCI_GETRANGEPOINTER, static_cast<unsigned long>(position), static_cast<long>(size)));
        return std::string_view(bytes, size);
    };
    // The two sides of the buffer's gap, read where they lie; split inside a character, they
    // are checked as one (which closes the gap).
    std::vector<std::string_view> pieces;
    const std::string_view after = range(gap, length - gap);
    if (!after.empty() && (static_cast<unsigned char>(after.front()) & 0xC0) == 0x80) {
        pieces = {Buffer()};
    } else {
        pieces = {range(0, gap), after};
    }
    for (const std::string_view piece : pieces) {
        if (!IsWellFormedUtf8(piece)) {
            return std::nullopt;
        }
    }
    return pieces;
}

void ScintillaEditor::ReplaceBuffer(const std::function<void()>& fill) {
    // The view keeps its place: the first visible document line and the caret, clamped to
    // the new text.
    const long firstLine =
        SendScintilla(SCI_DOCLINEFROMVISIBLE, SendScintilla(SCI_GETFIRSTVISIBLELINE));
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    m_insertedAt = -1;
    m_wholeTextChange = true;
    m_breaks.Clear();
    m_touched.clear();
    fill();
    m_wholeTextChange = false;
    m_userEditPending = false;
    ApplyStrikeOut();
    const long length = SendScintilla(SCI_GETLENGTH);
    long position = std::min(caret, length);
    if (position > 0 && position < length) {
        position = SendScintilla(SCI_POSITIONBEFORE, static_cast<unsigned long>(position + 1));
    }
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(position));
    const long lastLine = SendScintilla(SCI_GETLINECOUNT) - 1;
    SendScintilla(SCI_SETFIRSTVISIBLELINE,
                  SendScintilla(SCI_VISIBLEFROMDOCLINE,
                                static_cast<unsigned long>(std::min(firstLine, lastLine))));
    m_startAt = -1;
    UseLayoutCache();
    Notify();
}

void ScintillaEditor::FillBuffer(const SharedText& text) {
    if (ShowOffered(&text, {})) {
        return;
    }
    // The mirror adopts the text and hands its UTF-8 over in pieces, into a buffer made the
    // exact size first: no whole UTF-8 copy, no growing buffer copied as it grows, and room
    // for typing without the buffer growing by a sixth at the first key. An accessible index
    // is made again when next asked for, not counted piece by piece as the text comes in.
    EditorAccessible::DropIndex(this);
    const WholeBlocksWritten written;
    SendScintilla(SCI_CLEARALL);
    DisplayBreakWriter rows = RowWriter();
    m_mirror.Adopt(text, {[this](std::size_t size) {
                              SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(
                                                              size + size / 256 + kTypingRoom));
                          },
                          [&rows](std::string_view piece) { rows.Write(piece); }});
    m_breaks.Assign(rows.TakeBreaks());
}

void ScintillaEditor::AppendText(const Text& text) {
    AppendBuffer(GbkToUtf8(text));
    RespellRawBytes();
    TidyRows();
    m_userEditPending = false;
    // SCI_GOTOPOS would wrap every pending line before scrolling; ShowCaret does not.
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(SendScintilla(SCI_GETLENGTH)));
    ShowCaret();
    m_startAt = -1;
    m_modified = true;
    Notify();
}

void ScintillaEditor::OnBufferChanged() {
    if (m_wholeTextChange) {
        return;
    }
    m_userEditPending = true;
    // Edits that arrive outside the handlers below (drag and drop, the context menu) are
    // announced once the event that caused them is done.
    if (!m_finishQueued) {
        m_finishQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_finishQueued = false;
            FinishUserEdit();
        });
    }
}

void ScintillaEditor::FinishUserEdit() {
    if (!m_userEditPending) {
        return;
    }
    RespellRawBytes();
    TidyRows();
    m_userEditPending = false;
    m_modified = true;
    ApplyStrikeOut();
    Notify();
}

void ScintillaEditor::RespellRawBytes() {
    // The widget removes a composition by its place and length: it is left as it is until
    // the input method commits it.
    if (m_composing) {
        return;
    }
    FlushInsertion();
    const std::vector<GbkMirror::Respelling> respellings = m_mirror.TakeRespellings();
    if (respellings.empty()) {
        return;
    }
    // The text's bytes stay as they are; only the buffer's spelling of them changes, from
    // the last span back so that the earlier ones keep their places. The caret and anchor
    // keep theirs relative to the text around the spans.
    long caret = SendScintilla(SCI_GETCURRENTPOS);
    long anchor = SendScintilla(SCI_GETANCHOR);
    for (auto it = respellings.rbegin(); it != respellings.rend(); ++it) {
        const auto start = static_cast<long>(m_breaks.BufferPosition(it->start, true));
        const auto end = std::max(
            start, static_cast<long>(m_breaks.BufferPosition(it->start + it->length, false)));
        const auto moved = [&](long at) {
            return at < start ? at
                   : at < end
                       ? start + static_cast<long>(it->utf8.size())
                       : at + static_cast<long>(it->utf8.size()) - static_cast<long>(it->length);
        };
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(it->utf8.size()),
                      it->utf8.data());
        caret = moved(caret);
        anchor = moved(anchor);
    }
    FlushInsertion();
    // The respelled chunks spell their bytes now.
    m_mirror.ForgetRawBytes();
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
    m_startAt = -1;
}

void ScintillaEditor::UseLayoutCache() {
    // Each paint wraps the lines around the first shown one again, a screenful of lines
    // whatever their height: for rows of a long line, dozens of rows. Their layouts are kept
    // then, for what was shown lately (LimitLayoutCache); otherwise only the shown lines'
    // layouts, which spare a repaint from measuring a line again.
    const int level = m_breaks.Empty() ? SC_CACHE_PAGE : SC_CACHE_DOCUMENT;
    if (level != m_layoutCache) {
        m_layoutCache = level;
        SendScintilla(SCI_SETLAYOUTCACHE, static_cast<long>(level));
    }
}

void ScintillaEditor::LimitLayoutCache() {
    if (m_layoutCache != SC_CACHE_DOCUMENT) {
        return;
    }
    const long top = SendScintilla(SCI_DOCLINEFROMVISIBLE, SendScintilla(SCI_GETFIRSTVISIBLELINE));
    if (std::abs(top - m_cacheTop) <= kCachedRowsAround) {
        return;
    }
    // The widget may be laying out lines now: the kept layouts are dropped once it is done.
    m_cacheTop = top;
    QTimer::singleShot(0, this, [this] {
        if (m_layoutCache == SC_CACHE_DOCUMENT) {
            SendScintilla(SCI_SETLAYOUTCACHE, static_cast<long>(SC_CACHE_PAGE));
            SendScintilla(SCI_SETLAYOUTCACHE, static_cast<long>(SC_CACHE_DOCUMENT));
        }
    });
}

void ScintillaEditor::NoteTouched(std::size_t from, std::size_t to) {
    // Edits next to one another make one span, so that typing keeps one.
    if (!m_touched.empty() && from <= m_touched.back().to + 1 && to + 1 >= m_touched.back().from) {
        m_touched.back() = {std::min(from, m_touched.back().from),
                            std::max(to, m_touched.back().to)};
        return;
    }
    m_touched.push_back({from, to});
}

void ScintillaEditor::InsertBreak(long position) {
    m_breakEdit = true;
    SendScintilla(SCI_INSERTTEXT, static_cast<unsigned long>(position), "\n");
    m_breakEdit = false;
    m_breaks.Inserted(static_cast<std::size_t>(position), 1, true);
}

void ScintillaEditor::RemoveBreak(long position) {
    m_breakEdit = true;
    SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(position), 1L);
    m_breakEdit = false;
    m_breaks.Deleted(static_cast<std::size_t>(position), 1);
}

void ScintillaEditor::TidyRows() {
    // The widget removes a composition by its place and length: rows wait for the commit.
    if (m_composing || m_touched.empty()) {
        return;
    }
    FlushInsertion();
    const std::vector<BufferSpan> touched = std::exchange(m_touched, {});
    const long lastLine = SendScintilla(SCI_GETLINECOUNT) - 1;
    // The lines touched and one on either side (a row's break ends the line before), merged
    // and worked through from the last, so that the lines before keep their numbers.
    std::vector<std::pair<long, long>> lines;
    for (const BufferSpan& span : touched) {
        lines.emplace_back(
            std::max(
                0L, SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(span.from)) - 1),
            std::min(lastLine,
                     SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(span.to)) + 1));
    }
    std::sort(lines.begin(), lines.end());
    long next = lastLine + 1;
    bool changed = false;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        for (long line = std::min(it->second, next - 1); line >= it->first; --line) {
            changed = TidyRow(line) || changed;
        }
        next = std::min(next, it->first);
    }
    if (changed) {
        m_startAt = -1;
    }
    UseLayoutCache();
}

bool ScintillaEditor::TidyRow(long line) {
    const auto at = [this](long position) {
        return static_cast<unsigned char>(
            SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(position)));
    };
    const auto isBreak = [this](long position) {
        return position >= 0 && m_breaks.IsBreak(static_cast<std::size_t>(position));
    };
    const long length = SendScintilla(SCI_GETLENGTH);
    const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    bool changed = false;
    // A break is kept only between two characters of a row too long to be one: never next
    // to a line end (after a CR it would even make one line end with it), never at either
    // end of the text, never joining two rows short enough to be one.
    if (end + 1 < length && at(end) == '\r' && isBreak(end + 1)) {
        RemoveBreak(end + 1);
        changed = true;
    } else if (isBreak(end)) {
        const long nextEnd = end + 1 < length ? SendScintilla(SCI_GETLINEENDPOSITION,
                                                              static_cast<unsigned long>(line + 1))
                                              : end + 1;
        const bool lineEndNext = end + 1 >= length || at(end + 1) == '\r' || at(end + 1) == '\n';
        if (lineEndNext || end == start ||
            (end - start) + (nextEnd - end - 1) <= static_cast<long>(DisplayBreaks::RowBytes())) {
            RemoveBreak(end);
            changed = true;
        }
    }
    const long rowEnd = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    if (rowEnd - start <= static_cast<long>(DisplayBreaks::LongestRow())) {
        return changed;
    }
    // Cut from the back, so the places before stay; each cut after a space soon after, or
    // else before a character's first byte, as a row given whole is cut.
    const auto row = static_cast<long>(DisplayBreaks::RowBytes());
    const long search = row / static_cast<long>(DisplayBreaks::kSpaceSearch);
    for (long cut = start + (rowEnd - start - 1) / row * row; cut > start; cut -= row) {
        long place = cut;
        for (long look = cut; look < std::min(rowEnd, cut + search); ++look) {
            if (at(look) == ' ') {
                place = look + 1;
                break;
            }
        }
        while (place < rowEnd && (at(place) & 0xC0) == 0x80 && place - cut < search + 4) {
            ++place;
        }
        if (place < rowEnd && !isBreak(place - 1)) {
            InsertBreak(place);
        }
    }
    return true;
}

void ScintillaEditor::Notify() {
    CheckMirror();
    if (m_listener) {
        m_listener();
    }
}

void ScintillaEditor::cut() {
    QsciScintilla::cut();
    FinishUserEdit();
}

void ScintillaEditor::paste() {
    // QScintilla's own paste turns every line ending into CR LF; the text goes in as it is.
    QByteArray utf8 = QGuiApplication::clipboard()->text().toUtf8();
    if (const qsizetype end = utf8.indexOf('\0'); end >= 0) {
        utf8.truncate(end);
    }
    if (utf8.isEmpty()) {
        return;
    }
    SendScintilla(SCI_REPLACESEL, 0UL, utf8.constData());
    FinishUserEdit();
}

QMimeData* ScintillaEditor::toMimeData(const QByteArray& text, bool rectangular) const {
    const auto start = static_cast<std::size_t>(SendScintilla(SCI_GETSELECTIONSTART));
    const auto end = static_cast<std::size_t>(SendScintilla(SCI_GETSELECTIONEND));
    if (rectangular || m_breaks.CountIn(start, end) == 0 ||
        static_cast<std::size_t>(text.size()) != end - start) {
        return QsciScintillaBase::toMimeData(text, rectangular);
    }
    std::string selected;
    m_breaks.AppendText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                        start, selected);
    return QsciScintillaBase::toMimeData(
        QByteArray(selected.data(), static_cast<qsizetype>(selected.size())), false);
}

void ScintillaEditor::StepOverBreak(int key) {
    // Backspace and Delete next to a row's end take the character beyond it, as they would
    // across a row of word wrap.
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    if (m_breaks.Empty() || caret != SendScintilla(SCI_GETANCHOR)) {
        return;
    }
    if (key == Qt::Key_Backspace && caret > 0 &&
        m_breaks.IsBreak(static_cast<std::size_t>(caret - 1))) {
        SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret - 1));
    } else if (key == Qt::Key_Delete && m_breaks.IsBreak(static_cast<std::size_t>(caret))) {
        SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret + 1));
    }
}

void ScintillaEditor::keyPressEvent(QKeyEvent* event) {
    // Scintilla indents the lines of a selection that spans lines; a plain edit box replaces
    // it with the TAB like any other typed character.
    if (event->key() == Qt::Key_Tab &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        SendScintilla(SCI_REPLACESEL, 0UL, "\t");
        FinishUserEdit();
        event->accept();
        return;
    }
    // Scintilla's own document start and end wrap every line not yet wrapped before they
    // scroll: minutes for a large text whose wrapping is still going on in idle time.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_End || event->key() == Qt::Key_Home) &&
        (modifiers == Qt::ControlModifier ||
         modifiers == (Qt::ControlModifier | Qt::ShiftModifier))) {
        const long target = event->key() == Qt::Key_End ? SendScintilla(SCI_GETLENGTH) : 0;
        const long anchor = (modifiers & Qt::ShiftModifier) ? SendScintilla(SCI_GETANCHOR) : target;
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(anchor), target);
        SendScintilla(SCI_CHOOSECARETX);
        ShowCaret();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        StepOverBreak(event->key());
    }
    QsciScintilla::keyPressEvent(event);
    FinishUserEdit();
}

void ScintillaEditor::ShowCaret() {
    // The first scroll is estimated from the lines wrapped so far; painting wraps the lines
    // then shown, and the second scroll corrects the estimate.
    SendScintilla(SCI_SCROLLCARET);
    if (isVisible()) {
        viewport()->repaint();
        SendScintilla(SCI_SCROLLCARET);
    }
}

void ScintillaEditor::inputMethodEvent(QInputMethodEvent* event) {
    QsciScintilla::inputMethodEvent(event);
    m_composing = !event->preeditString().isEmpty();
    FinishUserEdit();
}

void ScintillaEditor::dropEvent(QDropEvent* event) {
    QsciScintilla::dropEvent(event);
    FinishUserEdit();
}

void ScintillaEditor::mouseReleaseEvent(QMouseEvent* event) {
    QsciScintilla::mouseReleaseEvent(event);
    FinishUserEdit();
}

bool ScintillaEditor::ModifiedFlag() const {
    return m_modified;
}

void ScintillaEditor::SetModifiedFlag(bool modified) {
    m_modified = modified;
}

void ScintillaEditor::SetChangeListener(ChangeListener listener) {
    m_listener = std::move(listener);
}

bool ScintillaEditor::IsCharacterBoundary(long bufferPosition) const {
    if (bufferPosition <= 0 || bufferPosition >= SendScintilla(SCI_GETLENGTH)) {
        return true;
    }
    const long before =
        SendScintilla(SCI_POSITIONBEFORE, static_cast<unsigned long>(bufferPosition));
    return SendScintilla(SCI_POSITIONAFTER, static_cast<unsigned long>(before)) == bufferPosition;
}

int ScintillaEditor::EditorPositionOf(long bufferPosition) const {
    FlushInsertion();
    return static_cast<int>(
        m_mirror.CharactersBefore(m_breaks.TextPosition(static_cast<std::size_t>(bufferPosition))));
}

long ScintillaEditor::BufferPositionOf(int editorPosition, bool roundUp) const {
    FlushInsertion();
    const GbkMirror::BufferPrefix chunk =
        m_mirror.BufferPrefixOf(static_cast<std::size_t>(std::max(editorPosition, 0)));
    const std::string& prefix = chunk.converted;
    const std::string_view buffer = chunk.buffer;
    // Where the editor position falls inside a character of the buffer (half of a four-byte
    // sequence, say), the prefix decodes differently from the whole: the first difference
    // marks the character that must not be split.
    const auto agreed = std::mismatch(prefix.begin(), prefix.end(), buffer.begin(), buffer.end());
    const long position = static_cast<long>(m_breaks.BufferPosition(
        chunk.chunkStart + static_cast<std::size_t>(agreed.first - prefix.begin()), true));
    if (agreed.first == prefix.end() && IsCharacterBoundary(position)) {
        return position;
    }
    if (IsCharacterBoundary(position)) {
        return roundUp ? SendScintilla(SCI_POSITIONAFTER, static_cast<unsigned long>(position))
                       : position;
    }
    return SendScintilla(roundUp ? SCI_POSITIONAFTER : SCI_POSITIONBEFORE,
                         static_cast<unsigned long>(position));
}

int ScintillaEditor::SelectionStart() const {
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    if (start == m_startAt && SendScintilla(SCI_GETSELECTIONEND) == start) {
        return m_start;
    }
    return EditorPositionOf(start);
}

int ScintillaEditor::SelectionLength() const {
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (start == end) {
        return 0;
    }
    return EditorPositionOf(end) - EditorPositionOf(start);
}

void ScintillaEditor::SetSelectionStart(int start) {
    start = std::max(start, 0);
    const long position = BufferPositionOf(start, false);
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(position));
    m_start = std::min(start, EditorPositionOf(SendScintilla(SCI_GETLENGTH)));
    m_startAt = position;
}

void ScintillaEditor::SetSelectionLength(int length) {
    const int start = SelectionStart();
    const long anchor = SendScintilla(SCI_GETSELECTIONSTART);
    const long caret =
        length > 0 ? std::max(anchor, BufferPositionOf(start + length, true)) : anchor;
    // Unlike SCI_GOTOPOS, SCI_SETSEL scrolls without first wrapping the whole document.
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
    ShowCaret();
}

void ScintillaEditor::SetWordWrap(bool on) {
    m_wordWrap = on;
    setWrapMode(on ? WrapWord : WrapNone);
    // The widget's wrap mode sets a layout cache of its own; ours is UseLayoutCache's.
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<long>(m_layoutCache));
    SendScintilla(SCI_SETHSCROLLBAR, on ? 0UL : 1UL);
    // Bars that come and go would resize the view, and a resize lays out every shown line
    // again: seconds for lines of a few hundred thousand characters.
    setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool ScintillaEditor::WordWrap() const {
    return m_wordWrap;
}

void ScintillaEditor::SetTextFont(const QFont& font) {
    m_font = font;
    ApplyStyle();
}

void ScintillaEditor::SetTextColor(const QColor& color) {
    m_color = color;
    ApplyStyle();
}

QFont ScintillaEditor::TextFont() const {
    return m_font;
}

QColor ScintillaEditor::TextColor() const {
    return m_color;
}

void ScintillaEditor::ApplyStyle() {
    const QByteArray family = m_font.family().toUtf8();
    const double points = m_font.pointSizeF() > 0 ? m_font.pointSizeF() : 12.0;
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, family.constData());
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, static_cast<long>(points * 100 + 0.5));
    SendScintilla(SCI_STYLESETWEIGHT, STYLE_DEFAULT, m_font.bold() ? 700L : 400L);
    SendScintilla(SCI_STYLESETITALIC, STYLE_DEFAULT, m_font.italic() ? 1L : 0L);
    SendScintilla(SCI_STYLESETUNDERLINE, STYLE_DEFAULT, m_font.underline() ? 1L : 0L);
    SendScintilla(SCI_STYLESETCHARACTERSET, STYLE_DEFAULT, static_cast<long>(SC_CHARSET_GB2312));
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, m_color);
    SendScintilla(SCI_STYLECLEARALL);
    SendScintilla(SCI_SETCARETFORE, m_color);
    SendScintilla(SCI_INDICSETFORE, kStrikeOutIndicator, m_color);
    ApplyStrikeOut();
}

void ScintillaEditor::ApplyStrikeOut() {
    if (!m_font.strikeOut() && !m_struckOut) {
        return;
    }
    m_struckOut = m_font.strikeOut();
    const long length = SendScintilla(SCI_GETLENGTH);
    SendScintilla(SCI_SETINDICATORCURRENT, kStrikeOutIndicator);
    SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, length);
    if (m_font.strikeOut()) {
        SendScintilla(SCI_INDICATORFILLRANGE, 0UL, length);
    }
}

}  // namespace velmor
