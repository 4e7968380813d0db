#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QTest>
#include <random>

#include "app/ScintillaEditor.h"
#include "core/CodePage936.h"

namespace velmor {
namespace {

class ScintillaEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_editor.resize(630, 447);
        m_editor.show();
        m_editor.setFocus();
        m_editor.SetChangeListener([this] {
            ++m_notifications;
            m_textAtNotification = m_editor.ReadText();
        });
    }

    void Type(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&m_editor, static_cast<Qt::Key>(key), modifiers);
    }

    ScintillaEditor m_editor;
    int m_notifications = 0;
    Text m_textAtNotification;
};

TEST_F(ScintillaEditorTest, EveryOneAndTwoByteSequenceSurvivesTheBuffer) {
    Text all;
    for (int lead = 1; lead < 256; ++lead) {
        all += static_cast<char>(lead);
        all += ' ';
        for (int trail = 1; trail < 256; ++trail) {
            all += static_cast<char>(lead);
            all += static_cast<char>(trail);
            all += ' ';
        }
    }
    m_editor.ReplaceText(all);
    EXPECT_EQ(m_editor.ReadText(), all);
}

TEST_F(ScintillaEditorTest, RandomBytesSurviveTheBuffer) {
    std::mt19937 random(936);
    Text text;
    for (int i = 0; i < 3 << 20; ++i) {
        text += static_cast<char>(1 + random() % 255);
    }
    m_editor.ReplaceText(text);
    EXPECT_EQ(m_editor.ReadText(), text);
}

TEST_F(ScintillaEditorTest, FourByteSequencesEmojiAndLineEndingsSurvive) {
    const Text cases[] = {
        "\x81\x30\x81\x30",           // U+0080
        "\x95\x32\x82\x36",           // U+20000
        "\x94\x39\xda\x33",           // an emoji beyond the BMP
        "\xe3\x32\x9a\x35",           // U+10FFFF
        "a\rb\nc\r\nd\n\re\r\r\n\n",  // lone CR and LF stay as they are
        "\x81\x30",                   // half of a four-byte sequence
        "\xff\x80\x80\xfe",           // no valid character
        "",
    };
    for (const Text& text : cases) {
        m_editor.ReplaceText(text);
        EXPECT_EQ(m_editor.ReadText(), text);
    }
}

TEST_F(ScintillaEditorTest, PastedTextKeepsItsLineEndingsAndOddCharacters) {
    QApplication::clipboard()->setText(QString::fromUtf8("x\ry\nz\U0001F600"));
    m_editor.paste();
    EXPECT_EQ(m_editor.ReadText(), EncodeCodePoint('x') + "\ry\nz" + EncodeCodePoint(0x1F600));
    EXPECT_EQ(m_notifications, 1);
    EXPECT_TRUE(m_editor.ModifiedFlag());
}

TEST_F(ScintillaEditorTest, ReplaceTextNotifiesOnceEvenForTheSameOrEmptyText) {
    m_editor.ReplaceText("abc\r\ndef");
    EXPECT_EQ(m_notifications, 1);
    EXPECT_EQ(m_textAtNotification, "abc\r\ndef");
    m_editor.ReplaceText("abc\r\ndef");
    EXPECT_EQ(m_notifications, 2);
    m_editor.ReplaceText("");
    EXPECT_EQ(m_notifications, 3);
    EXPECT_EQ(m_textAtNotification, "");
    m_editor.ReplaceText("");
    EXPECT_EQ(m_notifications, 4);
    EXPECT_EQ(m_editor.ReadText(), "");
    QApplication::processEvents();
    EXPECT_EQ(m_notifications, 4);
}

// The UTF-8 the editor holds, its pieces joined.
std::optional<std::string> HeldUtf8(const ScintillaEditor& editor) {
    const auto pieces = editor.WellFormedUtf8();
    if (!pieces) {
        return std::nullopt;
    }
    std::string joined;
    for (const std::string_view piece : *pieces) {
        joined += piece;
    }
    return joined;
}

TEST_F(ScintillaEditorTest, TextGivenAsUtf8IsHeldAsItIsAndLentOnlyWhileWellFormed) {
    m_editor.ReplaceTextWithUtf8("中文\r\na😀");
    EXPECT_EQ(m_notifications, 1);
    EXPECT_EQ(m_editor.ReadText(), "\xD6\xD0\xCE\xC4\r\na" + EncodeCodePoint(U'😀'));
    EXPECT_EQ(HeldUtf8(m_editor), "中文\r\na😀");

    // Typing in the middle leaves the buffer's gap there: the two sides are lent apart.
    m_editor.SetSelectionStart(1);
    m_editor.SetSelectionLength(0);
    Type(Qt::Key_X);
    EXPECT_EQ(m_editor.ReadText(), "\xD6\xD0x\xCE\xC4\r\na" + EncodeCodePoint(U'😀'));
    EXPECT_EQ(HeldUtf8(m_editor), "中x文\r\na😀");

    // A gap inside a character is closed rather than splitting it.
    m_editor.ReplaceTextWithUtf8("中中");
    m_editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 1UL, "\xB8\xAD\xE4");
    ASSERT_EQ(m_editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION), 4);
    const auto pieces = m_editor.WellFormedUtf8();
    ASSERT_TRUE(pieces);
    EXPECT_EQ(pieces->size(), 1u);
    EXPECT_EQ(HeldUtf8(m_editor), "中中中");
    EXPECT_EQ(m_editor.ReadText(), "\xD6\xD0\xD6\xD0\xD6\xD0");

    // A byte that starts no character is not UTF-8 at all.
    m_editor.ReplaceText("\xD6\xD0\xFF");
    EXPECT_EQ(HeldUtf8(m_editor), std::nullopt);
    m_editor.ReplaceText("");
    EXPECT_EQ(HeldUtf8(m_editor), "");
}

TEST_F(ScintillaEditorTest, AppendTextNotifiesOnceAndAppendsAtTheEnd) {
    m_editor.ReplaceText("\xd6\xd0\xce\xc4 line\r\n");
    m_editor.SetSelectionStart(1);
    m_editor.AppendText("tail");
    EXPECT_EQ(m_notifications, 2);
    EXPECT_EQ(m_textAtNotification, "\xd6\xd0\xce\xc4 line\r\ntail");
    EXPECT_EQ(m_editor.SelectionStart(), 13);
    EXPECT_EQ(m_editor.SelectionLength(), 0);
    m_editor.AppendText("");
    EXPECT_EQ(m_notifications, 3);
    QApplication::processEvents();
    EXPECT_EQ(m_notifications, 3);
}

TEST_F(ScintillaEditorTest, EachUserEditActionNotifiesOnceAfterTheChange) {
    Type(Qt::Key_A);
    EXPECT_EQ(m_notifications, 1);
    EXPECT_EQ(m_textAtNotification, "a");
    Type(Qt::Key_B);
    Type(Qt::Key_C);
    EXPECT_EQ(m_notifications, 3);

    m_editor.SetSelectionStart(0);
    m_editor.SetSelectionLength(2);
    Type(Qt::Key_X);
    EXPECT_EQ(m_notifications, 4);
    EXPECT_EQ(m_textAtNotification, "xc");

    m_editor.selectAll();
    m_editor.cut();
    EXPECT_EQ(m_notifications, 5);
    EXPECT_EQ(m_textAtNotification, "");
    m_editor.paste();
    EXPECT_EQ(m_notifications, 6);
    EXPECT_EQ(m_textAtNotification, "xc");

    Type(Qt::Key_Home);
    Type(Qt::Key_Backspace);
    EXPECT_EQ(m_notifications, 6);
    QApplication::processEvents();
    EXPECT_EQ(m_notifications, 6);
}

TEST_F(ScintillaEditorTest, ModifiedFlagFollowsUserEditsAndAppendOnly) {
    m_editor.ReplaceText("abc");
    EXPECT_FALSE(m_editor.ModifiedFlag());
    Type(Qt::Key_Delete);
    EXPECT_TRUE(m_editor.ModifiedFlag());
    m_editor.ReplaceText("new");
    EXPECT_TRUE(m_editor.ModifiedFlag());
    m_editor.SetModifiedFlag(false);
    m_editor.ReplaceText("newer");
    EXPECT_FALSE(m_editor.ModifiedFlag());
    m_editor.copy();
    EXPECT_FALSE(m_editor.ModifiedFlag());
    m_editor.AppendText("!");
    EXPECT_TRUE(m_editor.ModifiedFlag());
    m_editor.SetModifiedFlag(false);
    m_editor.selectAll();
    m_editor.cut();
    EXPECT_TRUE(m_editor.ModifiedFlag());
}

TEST_F(ScintillaEditorTest, EnterInsertsCrLf) {
    m_editor.ReplaceText("ab");
    m_editor.SetSelectionStart(1);
    Type(Qt::Key_Return);
    EXPECT_EQ(m_editor.ReadText(), "a\r\nb");
    EXPECT_EQ(m_notifications, 2);
}

TEST_F(ScintillaEditorTest, MenuShortcutsTypedIntoTheEditorLeaveTheText) {
    m_editor.ReplaceText("one\r\ntwo");
    m_editor.SetSelectionStart(2);
    const std::pair<int, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Y, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_K, Qt::ControlModifier},
        {Qt::Key_L, Qt::ControlModifier},
        {Qt::Key_T, Qt::ControlModifier},
        {Qt::Key_X, Qt::ControlModifier},
        {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_H, Qt::ControlModifier},
        {Qt::Key_F3, Qt::NoModifier},
        {Qt::Key_F9, Qt::NoModifier},
    };
    for (const auto& [key, modifiers] : keys) {
        Type(key, modifiers);
        EXPECT_EQ(m_editor.ReadText(), "one\r\ntwo") << key;
    }
    EXPECT_EQ(m_notifications, 1);
    EXPECT_FALSE(m_editor.ModifiedFlag());
}

TEST_F(ScintillaEditorTest, SelectionCountsEditorCharacters) {
    m_editor.ReplaceText(
        "a\xd6\xd0"
        "b");
    m_editor.SetSelectionStart(2);
    m_editor.SetSelectionLength(1);
    EXPECT_EQ(m_editor.SelectionStart(), 2);
    EXPECT_EQ(m_editor.SelectionLength(), 1);
    EXPECT_EQ(m_editor.selectedText(), "b");
    m_editor.SetSelectionStart(1);
    m_editor.SetSelectionLength(1);
    EXPECT_EQ(m_editor.selectedText(), QString::fromUtf8("中"));
    m_editor.SetSelectionStart(1);
    m_editor.SetSelectionLength(99);
    EXPECT_EQ(m_editor.SelectionLength(), 2);
}

TEST_F(ScintillaEditorTest, ByteEightyAndALoneLeadByteAreOneCharacterEach) {
    m_editor.ReplaceText(
        "\x80"
        "A\xd6\xd0\xd6");
    m_editor.SetSelectionStart(1);
    m_editor.SetSelectionLength(1);
    EXPECT_EQ(m_editor.selectedText(), "A");
    m_editor.SetSelectionStart(3);
    m_editor.SetSelectionLength(1);
    EXPECT_EQ(m_editor.SelectionStart(), 3);
    EXPECT_EQ(m_editor.SelectionLength(), 1);
    m_editor.selectAll();
    EXPECT_EQ(m_editor.SelectionStart(), 0);
    EXPECT_EQ(m_editor.SelectionLength(), 4);
}

TEST_F(ScintillaEditorTest, NoSelectionGivesTheCaretAndLengthZero) {
    m_editor.ReplaceText("\xd6\xd0\xce\xc4xyz");
    m_editor.SetSelectionStart(2);
    Type(Qt::Key_Right);
    EXPECT_EQ(m_editor.SelectionStart(), 3);
    EXPECT_EQ(m_editor.SelectionLength(), 0);
    Type(Qt::Key_Left, Qt::ShiftModifier);
    Type(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(m_editor.SelectionStart(), 1);
    EXPECT_EQ(m_editor.SelectionLength(), 2);
}

TEST_F(ScintillaEditorTest, CtrlEndAndCtrlHomeGoToTheEndsAndShiftSelects) {
    m_editor.ReplaceText(
        "ab\r\n\xd6\xd0"
        "d");
    m_editor.SetSelectionStart(1);
    Type(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(m_editor.SelectionStart(), 6);
    EXPECT_EQ(m_editor.SelectionLength(), 0);
    Type(Qt::Key_Left);
    Type(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(m_editor.SelectionStart(), 0);
    EXPECT_EQ(m_editor.SelectionLength(), 5);
    Type(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(m_editor.SelectionStart(), 5);
    EXPECT_EQ(m_editor.SelectionLength(), 1);
    EXPECT_EQ(m_notifications, 1);
    EXPECT_FALSE(m_editor.ModifiedFlag());
}

TEST_F(ScintillaEditorTest, PositionsInsideOneBufferCharacterNeverSplitIt) {
    // The four-byte sequence is two editor characters but one character of the buffer.
    const Text text =
        "a\x81\x30\x81\x30"
        "b";
    m_editor.ReplaceText(text);
    m_editor.SetSelectionStart(2);
    m_editor.SetSelectionLength(0);
    EXPECT_EQ(m_editor.ReadText(), text);
    EXPECT_TRUE(m_editor.selectedText().isEmpty());
    m_editor.SetSelectionStart(2);
    m_editor.SetSelectionLength(1);
    EXPECT_EQ(m_editor.selectedText(), QString::fromUtf8("\u0080"));
    m_editor.SetSelectionStart(0);
    m_editor.SetSelectionLength(2);
    EXPECT_EQ(m_editor.selectedText(), QString::fromUtf8("a\u0080"));
    EXPECT_EQ(m_editor.SelectionLength(), 3);

    // 0xFF cannot start a character, so the buffer holds it alone, but editor positions
    // pair it with the lead byte after it.
    m_editor.ReplaceText("\xff\x81\x40z");
    m_editor.SetSelectionStart(1);
    m_editor.SetSelectionLength(1);
    EXPECT_EQ(m_editor.ReadText(), "\xff\x81\x40z");
    EXPECT_EQ(m_editor.selectedText().toStdString(), GbkToUtf8("\x81\x40"));
    EXPECT_EQ(m_editor.SelectionStart(), 1);
}

TEST_F(ScintillaEditorTest, WordWrapToggleKeepsTheText) {
    const Text text = Text(3000, 'w') + "\r\n\xd6\xd0\r";
    m_editor.ReplaceText(text);
    EXPECT_TRUE(m_editor.WordWrap());
    EXPECT_EQ(m_editor.wrapMode(), QsciScintilla::WrapWord);
    m_editor.SetWordWrap(false);
    EXPECT_FALSE(m_editor.WordWrap());
    EXPECT_EQ(m_editor.wrapMode(), QsciScintilla::WrapNone);
    EXPECT_EQ(m_editor.ReadText(), text);
    m_editor.SetWordWrap(true);
    EXPECT_EQ(m_editor.ReadText(), text);
    EXPECT_EQ(m_notifications, 1);
}

TEST_F(ScintillaEditorTest, WrappingKeepsTheLayoutsOfTheShownLinesOnly) {
    // A layout kept for every wrapped line costs about thirteen bytes per document byte.
    for (const bool wrap : {true, false, true}) {
        m_editor.SetWordWrap(wrap);
        EXPECT_EQ(m_editor.SendScintilla(QsciScintillaBase::SCI_GETLAYOUTCACHE),
                  QsciScintillaBase::SC_CACHE_PAGE);
    }
}

TEST_F(ScintillaEditorTest, OnlyTheShownLinesAreWrappedHoweverLongTheEditorIdles) {
    // Lines of a few screen widths: each wraps into several display lines once laid out.
    constexpr long kLines = 3000;
    Text text;
    for (long line = 0; line < kLines; ++line) {
        text += Text(400, static_cast<char>('a' + line % 26)) + " \xd6\xd0\r\n";
    }
    const auto displayLinesBefore = [this](long line) {
        return m_editor.SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE,
                                      static_cast<unsigned long>(line));
    };
    const auto expectOnlyTheTopWrapped = [&](const char* after) {
        SCOPED_TRACE(after);
        QTest::qWait(300);
        EXPECT_GT(displayLinesBefore(2), 4) << "the shown lines are wrapped";
        // Every line below the screen counts as one display line until it is shown.
        EXPECT_LT(displayLinesBefore(kLines), kLines + 200);
    };
    m_editor.ReplaceText(text);
    expectOnlyTheTopWrapped("load");
    m_editor.ReplaceText(text + "x");
    expectOnlyTheTopWrapped("whole-text change");
    m_editor.SetWordWrap(false);
    m_editor.SetWordWrap(true);
    expectOnlyTheTopWrapped("word wrap toggled");

    // Shown at its end, the end is wrapped, and the caret stays in view.
    Type(Qt::Key_End, Qt::ControlModifier);
    QTest::qWait(300);
    EXPECT_GT(displayLinesBefore(kLines) - displayLinesBefore(kLines - 2), 4);
    const long caretLine = displayLinesBefore(kLines);
    const long top = m_editor.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    EXPECT_LE(top, caretLine);
    EXPECT_LT(caretLine, top + m_editor.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
    Type(Qt::Key_A);
    EXPECT_EQ(m_editor.ReadText(), text + "xa");
}

// The widget's first document and one built away from the window, from the text or from
// its UTF-8, and swapped in alike.
TEST_F(ScintillaEditorTest, TheDocumentHoldsNoStyleBytesAndKeepsTheWidgetsTabs) {
    QsciScintilla plain;
    const SharedText prepared(Text("\t\xD6\xD0\r\n\x81\x30\x81\x30"));
    const std::string utf8 = GbkToUtf8(prepared.Flatten());
    const auto document = [this] {
        return m_editor.SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER);
    };
    for (const int swapped : {0, 1, 2}) {
        if (swapped == 1) {
            std::shared_ptr<PreparedDocument> built = m_editor.PrepareSnapshot(prepared);
            built->Build();
            // Offered for another version, it is not taken; the text is converted here.
            m_editor.OfferPrepared(built);
            m_editor.ReplaceText("other");
            EXPECT_EQ(m_editor.ReadText(), "other");
            m_editor.OfferPrepared(built);
            m_editor.ReplaceSnapshot(prepared);
        } else if (swapped == 2) {
            std::shared_ptr<PreparedDocument> built = m_editor.PrepareUtf8(utf8);
            built->Build();
            // Neither a text (even an empty one) nor the same bytes elsewhere take it.
            m_editor.OfferPrepared(built);
            m_editor.ReplaceSnapshot(SharedText());
            EXPECT_EQ(m_editor.ReadText(), "");
            const long before = document();
            const std::string copy = utf8;
            m_editor.OfferPrepared(built);
            m_editor.ReplaceTextWithUtf8(copy);
            EXPECT_EQ(document(), before);
            m_editor.OfferPrepared(built);
            m_editor.ReplaceTextWithUtf8(utf8);
            EXPECT_NE(document(), before);
        } else {
            m_editor.ReplaceSnapshot(prepared);
        }
        EXPECT_NE(m_editor.SendScintilla(QsciScintillaBase::SCI_GETDOCUMENTOPTIONS) &
                      QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE,
                  0);
        for (const unsigned int query :
             {QsciScintillaBase::SCI_GETTABWIDTH, QsciScintillaBase::SCI_GETUSETABS,
              QsciScintillaBase::SCI_GETINDENT}) {
            EXPECT_EQ(m_editor.SendScintilla(query), plain.SendScintilla(query)) << query;
        }
        EXPECT_EQ(m_editor.SendScintilla(QsciScintillaBase::SCI_GETCODEPAGE),
                  QsciScintillaBase::SC_CP_UTF8);
        EXPECT_EQ(m_editor.SendScintilla(QsciScintillaBase::SCI_GETUNDOCOLLECTION), 0);
        EXPECT_EQ(m_editor.ReadText(), prepared.Flatten()) << swapped;
        // The mirror follows edits of the new document: Enter is still CR LF.
        m_editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, 4UL);
        QTest::keyClick(&m_editor, Qt::Key_Return);
        EXPECT_EQ(m_editor.ReadText(), Text("\t\xD6\xD0\r\n\r\n\x81\x30\x81\x30")) << swapped;
    }
}

TEST_F(ScintillaEditorTest, StartsWithAChineseFontAndNoMargins) {
    const QFont font = m_editor.TextFont();
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).contains(font.family()))
        << font.family().toStdString();
    for (int margin = 0; margin < 5; ++margin) {
        EXPECT_EQ(m_editor.marginWidth(margin), 0);
    }
}

TEST_F(ScintillaEditorTest, FontAndColourApplyToTheText) {
    QFont font(m_editor.TextFont().family());
    font.setPointSize(20);
    font.setBold(true);
    font.setStrikeOut(true);
    m_editor.ReplaceText("abc");
    m_editor.SetTextFont(font);
    m_editor.SetTextColor(Qt::red);
    EXPECT_EQ(m_editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 0UL), 20);
    EXPECT_EQ(m_editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETBOLD, 0UL), 1);
    EXPECT_EQ(m_editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, 0UL), 0x0000ff);
    EXPECT_NE(m_editor.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT,
                                     QsciScintillaBase::INDIC_CONTAINER, 1L),
              0);
    EXPECT_EQ(m_editor.ReadText(), "abc");
}

}  // namespace
}  // namespace velmor
