#include <gtest/gtest.h>

#include <Qsci/qscicommandset.h>

#include <QTest>
#include <set>

#include "app/PlainEditKeys.h"
#include "app/ScintillaEditor.h"

// The edit box keeps the keys of a plain multi-line edit box and nothing more.

namespace velmor {
namespace {

class PlainEditKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_editor.resize(630, 447);
        m_editor.show();
        m_editor.setFocus();
    }

    // Puts text in, selects [from, to) in editor characters, presses the key.
    Text Press(const Text& text, int from, int to, Qt::Key key,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        m_editor.ReplaceText(text);
        m_editor.SetSelectionStart(from);
        m_editor.SetSelectionLength(to - from);
        // Up and Down keep to the column last chosen, which setting the selection leaves.
        m_editor.SendScintilla(QsciScintillaBase::SCI_CHOOSECARETX);
        QTest::keyClick(&m_editor, key, modifiers);
        return m_editor.ReadText();
    }

    ScintillaEditor m_editor;
};

TEST_F(PlainEditKeysTest, TheBoundKeysAreExactlyThePlainList) {
    std::set<std::pair<int, int>> bound;
    for (QsciCommand* command : m_editor.standardCommands()->commands()) {
        for (int key : {command->key(), command->alternateKey()}) {
            if (key != 0) {
                bound.insert({key, static_cast<int>(command->command())});
            }
        }
    }
    std::set<std::pair<int, int>> wanted;
    for (const EditKeyBinding& binding : PlainEditKeyBindings()) {
        wanted.insert({binding.key, static_cast<int>(binding.command)});
    }
    EXPECT_EQ(bound, wanted);
    EXPECT_EQ(wanted.size(), PlainEditKeyBindings().size()) << "a binding is listed twice";
}

TEST_F(PlainEditKeysTest, KeysActAsInAPlainEditBox) {
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    struct Row {
        const char* what;
        Text text;
        int from;
        int to;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Text expected;
    };
    const Row rows[] = {
        {"Tab over lines replaces them",
         "one\r\ntwo\r\nthree",
         1,
         7,
         Qt::Key_Tab,
         {},
         "o\to\r\nthree"},
        {"Tab at the caret", "ab", 1, 1, Qt::Key_Tab, {}, "a\tb"},
        {"Tab over a whole line", "ab\r\ncd", 0, 4, Qt::Key_Tab, {}, "\tcd"},
        {"Shift+Tab does not unindent", "\tab\r\n\tcd", 0, 8, Qt::Key_Backtab, Qt::ShiftModifier,
         "\tab\r\n\tcd"},
        {"Ctrl+U keeps case", "abc", 0, 3, Qt::Key_U, ctrl, "abc"},
        {"Ctrl+Shift+U keeps case", "abc", 0, 3, Qt::Key_U, ctrlShift, "abc"},
        {"Ctrl+D duplicates nothing", "abc", 1, 1, Qt::Key_D, ctrl, "abc"},
        {"Ctrl+Shift+L deletes no line", "ab\r\ncd", 1, 1, Qt::Key_L, ctrlShift, "ab\r\ncd"},
        {"Ctrl+Shift+T transposes nothing", "ab\r\ncd", 5, 5, Qt::Key_T, ctrlShift, "ab\r\ncd"},
        {"Ctrl+Q types no control character", "ab", 1, 1, Qt::Key_Q, ctrl, "ab"},
        {"Ctrl+Backspace deletes no word", "ab cd", 5, 5, Qt::Key_Backspace, ctrl, "ab cd"},
        {"Ctrl+Delete deletes no word", "ab cd", 0, 0, Qt::Key_Delete, ctrl, "ab cd"},
        {"Escape changes nothing", "ab", 0, 2, Qt::Key_Escape, {}, "ab"},
        {"Enter is CR LF", "ab", 1, 1, Qt::Key_Return, {}, "a\r\nb"},
        {"Enter replaces the selection", "abc", 1, 2, Qt::Key_Return, {}, "a\r\nc"},
        {"Backspace", "a\xD6\xD0", 2, 2, Qt::Key_Backspace, {}, "a"},
        {"Delete", "\xD6\xD0z", 0, 0, Qt::Key_Delete, {}, "z"},
        {"Delete the selection", "abcd", 1, 3, Qt::Key_Delete, {}, "ad"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Press(row.text, row.from, row.to, row.key, row.modifiers), row.expected)
            << row.what;
    }
}

TEST_F(PlainEditKeysTest, InsertDoesNotSwitchToOverwriting) {
    Press("abc", 0, 0, Qt::Key_Insert);
    QTest::keyClick(&m_editor, Qt::Key_X);
    EXPECT_EQ(m_editor.ReadText(), "xabc");
    EXPECT_FALSE(m_editor.overwriteMode());
}

TEST_F(PlainEditKeysTest, MovingAndSelectingKeysWork) {
    struct Row {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int start;
        int length;
    };
    const Row rows[] = {
        {"Right", Qt::Key_Right, {}, 3, 0},
        {"Left", Qt::Key_Left, {}, 1, 0},
        {"Shift+Right", Qt::Key_Right, Qt::ShiftModifier, 2, 1},
        {"Shift+Left", Qt::Key_Left, Qt::ShiftModifier, 1, 1},
        {"Home", Qt::Key_Home, {}, 0, 0},
        {"End", Qt::Key_End, {}, 5, 0},
        {"Shift+End", Qt::Key_End, Qt::ShiftModifier, 2, 3},
        {"Down", Qt::Key_Down, {}, 9, 0},
        {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier, 3, 0},
    };
    for (const Row& row : rows) {
        Press("ab cd\r\nab cd", 2, 2, row.key, row.modifiers);
        EXPECT_EQ(m_editor.SelectionStart(), row.start) << row.what;
        EXPECT_EQ(m_editor.SelectionLength(), row.length) << row.what;
    }
}

}  // namespace
}  // namespace velmor
