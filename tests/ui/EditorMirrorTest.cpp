#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <random>

#include "app/ScintillaEditor.h"
#include "core/CodePage936.h"
#include "core/Positions.h"
#include "core/UndoHistory.h"

#include "../support/ShortRows.h"

namespace velmor {
namespace {

class EditorMirrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_editor.resize(630, 447);
        m_editor.show();
        m_editor.setFocus();
        m_history.Attach();
    }

    // The buffer as the widget holds it (without the breaks of rows), converted whole: what
    // the mirror must agree with.
    Text FullConversion() { return Utf8ToGbk(m_editor.BufferText()); }

    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) {
        return m_editor.SendScintilla(message, wParam, lParam);
    }

    void Commit(const char* utf8) {
        QInputMethodEvent event(QString(), {});
        event.setCommitString(QString::fromUtf8(utf8));
        QApplication::sendEvent(&m_editor, &event);
    }

    ScintillaEditor m_editor;
    UndoHistory m_history{m_editor};
};

// Typing, deleting, Enter, pasting, cutting, undo, redo and whole-text replacement in random
// order: after each, the text read equals a full conversion of the buffer. A second round
// shows every line as rows of a few bytes.
TEST_F(EditorMirrorTest, TextFollowsRandomUserEditsLikeAFullConversion) {
    for (const std::size_t rowBytes : {DisplayBreaks::RowBytes(), std::size_t{12}}) {
        const test::ShortRows rows(rowBytes);
        std::mt19937 random(936);
        Text start;
        for (int line = 0; line < 6000; ++line) {
            start += "line \xD6\xD0\xCE\xC4 " + std::to_string(line) + (line % 7 ? "\r\n" : "\r");
        }
        m_editor.ReplaceText(start);
        const char* const pastes[] = {"x\ry\nz", "😀中", "\r\n\r\n", "€ ¢ 文字", "plain"};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (int step = 0; step < 400 && std::chrono::steady_clock::now() < deadline; ++step) {
            const long length = Send(QsciScintillaBase::SCI_GETLENGTH);
            const long at = Send(QsciScintillaBase::SCI_POSITIONBEFORE,
                                 static_cast<unsigned long>(random() % (length + 1) + 1));
            Send(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(at));
            switch (random() % 9) {
                case 0:
                    QTest::keyClicks(&m_editor, "ab");
                    break;
                case 1:
                    Commit("中文");
                    break;
                case 2:
                    QTest::keyClick(&m_editor, Qt::Key_Backspace);
                    break;
                case 3:
                    QTest::keyClick(&m_editor, Qt::Key_Delete);
                    break;
                case 4:
                    QTest::keyClick(&m_editor, Qt::Key_Return);
                    break;
                case 5:
                    QGuiApplication::clipboard()->setText(QString::fromUtf8(pastes[random() % 5]));
                    m_editor.paste();
                    break;
                case 6:
                    Send(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(at),
                         std::min(length, at + static_cast<long>(random() % 5000)));
                    m_editor.cut();
                    break;
                case 7:
                    random() % 2 ? m_history.Undo() : m_history.Redo();
                    break;
                default:
                    m_editor.ReplaceText(m_editor.ReadText() + "\xB0\xA1\x81");
                    break;
            }
            QApplication::processEvents();
            const Text read = m_editor.ReadText();
            const Text whole = FullConversion();
            if (read != whole) {
                const auto differ =
                    std::mismatch(read.begin(), read.end(), whole.begin(), whole.end());
                const std::size_t at = static_cast<std::size_t>(differ.first - read.begin());
                FAIL() << "step " << step << ": the mirror (" << read.size()
                       << " bytes) and the buffer (" << whole.size() << " bytes) part at byte "
                       << at << "; mirror there: \"" << read.substr(at, 40)
                       << "\", buffer there: \"" << whole.substr(at, 40) << "\""
                       << " (rows of " << rowBytes << ")";
            }
        }
    }
}

// A line longer than a row is shown as rows; what the user does next to a row's end acts on
// the text as if the row went on, and nothing of the text is a row's break.
TEST_F(EditorMirrorTest, LongLinesAreShownAsRowsThatEditsAndCopiesLookThrough) {
    const test::ShortRows rows(16);
    const std::string line = "0123456789中文abcdefghij😀klmnopqrst" + std::string(40, 'x');
    m_editor.ReplaceText(Utf8ToGbk(line + "\r\nshort\r\n"));
    ASSERT_FALSE(m_editor.Breaks().Empty());
    EXPECT_EQ(m_editor.ReadText(), Utf8ToGbk(line + "\r\nshort\r\n"));
    const std::size_t firstBreak = m_editor.Breaks().Positions().front();
    EXPECT_EQ(firstBreak, 17u);
    EXPECT_EQ(m_editor.WellFormedUtf8(), std::nullopt);

    // Text positions on either side of a row's break.
    m_editor.SetSelectionStart(13);
    EXPECT_EQ(m_editor.SelectionStart(), 13);
    QTest::keyClicks(&m_editor, QStringLiteral("+"));
    EXPECT_EQ(GbkToUtf8(m_editor.ReadText()).substr(0, 21), "0123456789中文a+bcd");

    // Backspace just after a break takes the character before it; Delete just before one
    // takes the one after it.
    const long afterBreak = static_cast<long>(m_editor.Breaks().Positions().front()) + 1;
    Send(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(afterBreak));
    const int caret = m_editor.SelectionStart();
    QTest::keyClick(&m_editor, Qt::Key_Backspace);
    EXPECT_EQ(m_editor.SelectionStart(), caret - 1);
    const long beforeBreak = static_cast<long>(m_editor.Breaks().Positions().front());
    Send(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(beforeBreak));
    const Text before = m_editor.ReadText();
    QTest::keyClick(&m_editor, Qt::Key_Delete);
    const Text after = m_editor.ReadText();
    EXPECT_EQ(after.size() + 1, before.size());
    EXPECT_EQ(FullConversion(), after);

    // A copy across rows carries the text only.
    m_editor.SetSelectionStart(0);
    m_editor.SetSelectionLength(60);
    m_editor.copy();
    const Text copied = Utf8ToGbk(QGuiApplication::clipboard()->text().toStdString());
    EXPECT_EQ(copied, after.substr(0, static_cast<std::size_t>(ByteOffsetOfCharacters(after, 60))));

    // Enter at a row's end ends the line there, and the break beside it goes.
    Send(QsciScintillaBase::SCI_SETEMPTYSELECTION,
         static_cast<unsigned long>(m_editor.Breaks().Positions().front()));
    const int enterAt = m_editor.SelectionStart();
    QTest::keyClick(&m_editor, Qt::Key_Return);
    const Text entered = m_editor.ReadText();
    EXPECT_EQ(entered.substr(static_cast<std::size_t>(ByteOffsetOfCharacters(entered, enterAt)), 2),
              "\r\n");

    // A pasted long line is cut into rows; the whole text selected and cut leaves none.
    QGuiApplication::clipboard()->setText(QString(200, QLatin1Char('p')));
    m_editor.paste();
    const long lines = Send(QsciScintillaBase::SCI_GETLINECOUNT);
    for (long l = 0; l < lines; ++l) {
        EXPECT_LE(Send(QsciScintillaBase::SCI_LINELENGTH, static_cast<unsigned long>(l)),
                  static_cast<long>(DisplayBreaks::LongestRow()) + 2);
    }
    EXPECT_EQ(FullConversion(), m_editor.ReadText());
    m_editor.selectAll();
    m_editor.cut();
    EXPECT_TRUE(m_editor.Breaks().Empty());
    EXPECT_TRUE(m_editor.ReadText().empty());
    EXPECT_EQ(m_editor.MirrorRepairs(), 0);
}

// Edits the mirror never heard of (notifications off) still reach whatever reads the text:
// a change of length at the next read, any change at the check a save makes.
TEST_F(EditorMirrorTest, EditsTheMirrorMissedAreTakenFromTheBuffer) {
    m_editor.ReplaceText(Utf8ToGbk("abc中文\r\n😀"));
    const long mask = Send(QsciScintillaBase::SCI_GETMODEVENTMASK);
    Send(QsciScintillaBase::SCI_SETMODEVENTMASK, 0);
    m_editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0UL, "5303239662");
    EXPECT_EQ(m_editor.ReadText(), FullConversion());
    Send(QsciScintillaBase::SCI_SETTARGETRANGE, 0, 1);
    m_editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, 1UL, "x");
    Send(QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
    m_editor.ConfirmText();
    EXPECT_EQ(m_editor.ReadText(), Utf8ToGbk("x303239662abc中文\r\n😀"));
    EXPECT_EQ(m_editor.ReadSnapshot().Flatten(), FullConversion());
    EXPECT_EQ(m_editor.MirrorRepairs(), 2);
    // Edits after the repair are followed as before.
    QTest::keyClicks(&m_editor, QStringLiteral("q"));
    EXPECT_EQ(m_editor.ReadText(), FullConversion());
}

TEST_F(EditorMirrorTest, ReplaceUndoAndRedoKeepTheFirstVisibleLineAndTheCaret) {
    Text text;
    for (int line = 0; line < 3000; ++line) {
        text += "row " + std::to_string(line) + "\r\n";
    }
    m_editor.ReplaceText(text);
    m_editor.ReplaceText(text + "tail");
    Send(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 1200);
    const long caret = Send(QsciScintillaBase::SCI_POSITIONFROMLINE, 1210) + 2;
    Send(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret));
    for (int round = 0; round < 3; ++round) {
        if (round == 0) {
            m_editor.ReplaceText(text + "TAIL");
        } else if (round == 1) {
            m_history.Undo();
        } else {
            m_history.Redo();
        }
        EXPECT_EQ(Send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 1200) << round;
        EXPECT_EQ(Send(QsciScintillaBase::SCI_GETCURRENTPOS), caret) << round;
    }
    m_editor.ReplaceText("short");
    EXPECT_EQ(Send(QsciScintillaBase::SCI_GETCURRENTPOS), 5) << "the caret is clamped to the text";
    EXPECT_EQ(Send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 0);
}

TEST_F(EditorMirrorTest, AccessibleTextAnswersInUtf16Offsets) {
    m_editor.ReplaceText("ab\r\n\xD6\xD0\xCE\xC4\r\nx");
    m_editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, 0UL);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&m_editor);
    ASSERT_NE(accessible, nullptr);
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    const QString expected = QString::fromUtf8("ab\r\n中文\r\nx");
    EXPECT_EQ(text->characterCount(), expected.size());
    EXPECT_EQ(text->text(0, text->characterCount()), expected);
    EXPECT_EQ(text->text(4, 6), QString::fromUtf8("中文"));
    text->setCursorPosition(5);
    EXPECT_EQ(text->cursorPosition(), 5);
    EXPECT_EQ(m_editor.SelectionStart(), 5);
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(5, QAccessible::CharBoundary, &start, &end),
              QString::fromUtf8("文"));
    EXPECT_EQ(start, 5);
    EXPECT_EQ(end, 6);
    text->setSelection(0, 1, 5);
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 5);
    text->setCursorPosition(text->characterCount());
    QTest::keyClicks(&m_editor, "Q");
    EXPECT_EQ(text->characterCount(), expected.size() + 1);
    EXPECT_EQ(text->text(expected.size(), expected.size() + 1), QString::fromUtf8("Q"));

    // The index is made when asked for, not kept up while whole texts come in, and a
    // document swapped in (as an undo of a large text does) gets one of its own.
    const auto indexed = [this] { return Send(QsciScintillaBase::SCI_GETLINECHARACTERINDEX) != 0; };
    m_editor.ReplaceText("\xD6\xD0\r\n\x81\x30\x81\x30z");
    EXPECT_FALSE(indexed());
    EXPECT_EQ(text->text(0, text->characterCount()), QString::fromUtf8("中\r\n\U00000080z"));
    EXPECT_TRUE(indexed());
    const SharedText swapped(Text("\xCE\xC4\xCE\xC4"));
    std::shared_ptr<PreparedDocument> prepared = m_editor.PrepareSnapshot(swapped);
    prepared->Build();
    m_editor.OfferPrepared(prepared);
    m_editor.ReplaceSnapshot(swapped);
    EXPECT_EQ(text->characterCount(), 2);
    EXPECT_EQ(text->text(1, 2), QString::fromUtf8("文"));
}

}  // namespace
}  // namespace velmor
