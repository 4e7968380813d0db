#include <gtest/gtest.h>

#include "core/MemoryEditor.h"
#include "search/Find.h"

namespace velmor {
namespace {

constexpr const char* kNotFound = "未找到更多被搜索的关键字“bc”！";

struct Step {
    FindDirection direction;
    int expectedStart;
    int expectedLength;
    bool message;
};

struct Row {
    const char* name;
    Text text;
    Text keyword;
    bool ignoreCase;
    int start;
    int length;
    std::vector<Step> steps;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class FindTable : public ::testing::TestWithParam<Row> {};

TEST_P(FindTable, SelectsOccurrencesWithoutWrapping) {
    const Row& row = GetParam();
    MemoryEditor editor(row.text);
    editor.SetSelectionStart(row.start);
    editor.SetSelectionLength(row.length);
    const FindState state{row.keyword, row.ignoreCase};
    std::size_t messages = 0;
    for (const Step& step : row.steps) {
        RunFind(state, editor, step.direction);
        EXPECT_EQ(editor.SelectionStart(), step.expectedStart);
        EXPECT_EQ(editor.SelectionLength(), step.expectedLength);
        messages += step.message ? 1 : 0;
        ASSERT_EQ(editor.Messages().size(), messages);
    }
    EXPECT_EQ(editor.ReadText(), row.text);
    EXPECT_EQ(editor.ChangeNotifications(), 0);
}

constexpr auto Next = FindDirection::Next;
constexpr auto Previous = FindDirection::Previous;
const Text kZhong = "\xD6\xD0";

INSTANTIATE_TEST_SUITE_P(
    Steps, FindTable,
    ::testing::Values(Row{"forward to the end",
                          "abcabc",
                          "bc",
                          false,
                          0,
                          0,
                          {{Next, 1, 2, false}, {Next, 4, 2, false}, {Next, 4, 2, true}}},
                      Row{"backward to the start",
                          "abcabc",
                          "bc",
                          false,
                          4,
                          2,
                          {{Previous, 1, 2, false}, {Previous, 1, 2, true}}},
                      Row{"double-byte selection",
                          kZhong + kZhong + kZhong,
                          kZhong + kZhong,
                          false,
                          0,
                          2,
                          {{Next, 0, 2, true}}},
                      Row{"ignore case", "xABC", "abc", true, 0, 0, {{Next, 1, 3, false}}},
                      Row{"case matters", "xABC", "abc", false, 0, 0, {{Next, 0, 0, true}}},
                      Row{"caret at the end",
                          "abcabc",
                          "bc",
                          false,
                          6,
                          0,
                          {{Next, 6, 0, true}, {Previous, 4, 2, false}}},
                      Row{"empty keyword does nothing",
                          "abc",
                          "",
                          false,
                          1,
                          1,
                          {{Next, 1, 1, false}, {Previous, 1, 1, false}}},
                      // Editor positions take 0x80 as a one-byte character, the search walk as a
                      // lead byte: "x" is the fourth byte but the third character.
                      Row{"0x80 counts one character",
                          "\x80"
                          "ax",
                          "x",
                          false,
                          0,
                          0,
                          {{Next, 2, 1, false}}},
                      Row{"after Chinese, lone CR and a lone lead byte at the end",
                          kZhong + "\r" + kZhong + "ab\xB0",
                          "ab",
                          false,
                          0,
                          0,
                          {{Next, 3, 2, false}}},
                      Row{"selection covering the last character",
                          "ab",
                          "a",
                          false,
                          1,
                          1000000,
                          {{Next, 1, 1, true}, {Previous, 0, 1, false}}}));

TEST(FindMessage, NamesTheKeyword) {
    MemoryEditor editor("abc");
    editor.SetSelectionStart(3);
    RunFind(FindState{"bc", false}, editor, FindDirection::Next);
    ASSERT_EQ(editor.Messages().size(), 1U);
    EXPECT_EQ(editor.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(editor.Messages()[0].text, kNotFound);
    EXPECT_EQ(editor.Messages()[0].title, "错误");
}

TEST(FindDialog, KeepsKeywordAndCaseForTheRun) {
    FindState state;
    const DialogDefinition definition = MakeFindDialog(state);
    MemoryEditor editor("aBc abc");
    Services services;
    CommandContext context{editor, services};
    {
        DialogSession session(definition, context);
        // On first opening the box is checked, so the search distinguishes case.
        EXPECT_TRUE(session.Fields().IsChecked("选择框1"));
        EXPECT_FALSE(session.Fields().At("搜寻下一个按钮").enabled);
        ASSERT_TRUE(session.SetEditText("编辑框1", "abc"));
        EXPECT_EQ(state.keyword, "abc");
        EXPECT_TRUE(session.Fields().At("搜寻上一个按钮").enabled);
        ASSERT_TRUE(session.Press("搜寻下一个按钮"));
        EXPECT_EQ(editor.SelectionStart(), 4);
        ASSERT_TRUE(session.SetChecked("选择框1", false));
        EXPECT_TRUE(state.ignoreCase);
        ASSERT_TRUE(session.Press("搜寻上一个按钮"));
        EXPECT_EQ(editor.SelectionStart(), 0);
        ASSERT_TRUE(session.SetEditText("编辑框1", ""));
        EXPECT_FALSE(session.Press("搜寻下一个按钮"));
    }
    state.keyword = "xyz";
    DialogSession reopened(definition, context);
    EXPECT_EQ(reopened.Fields().TextOf("编辑框1"), "xyz");
    EXPECT_FALSE(reopened.Fields().IsChecked("选择框1"));
    EXPECT_TRUE(reopened.Fields().At("搜寻下一个按钮").enabled);
}

}  // namespace
}  // namespace velmor
