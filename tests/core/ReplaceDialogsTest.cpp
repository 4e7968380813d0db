#include <gtest/gtest.h>

#include "core/MemoryEditor.h"
#include "search/ReplaceDialogs.h"

namespace velmor {
namespace {

using Steps = std::vector<std::pair<std::string, Text>>;

struct Row {
    const char* name;
    const DialogDefinition& (*dialog)();
    Text input;
    Steps steps;  // edit box text or, for a check box, "1" / "0"
    Text expected;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class ReplaceTable : public ::testing::TestWithParam<Row> {};

TEST_P(ReplaceTable, ReplacesEveryOccurrenceInOneWrite) {
    const Row& row = GetParam();
    MemoryEditor editor(row.input);
    Services services;
    CommandContext context{editor, services};
    DialogSession session(row.dialog(), context);
    for (const auto& [name, value] : row.steps) {
        if (session.Fields().At(name).kind == ControlKind::CheckBox) {
            ASSERT_TRUE(session.SetChecked(name, value == "1")) << name;
        } else {
            ASSERT_TRUE(session.SetEditText(name, value)) << name;
        }
    }
    ASSERT_TRUE(session.Press("按钮1"));
    EXPECT_EQ(editor.ReadText(), row.expected);
    EXPECT_EQ(editor.ChangeNotifications(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, ReplaceTable,
    ::testing::Values(
        Row{"ignore case", BasicReplaceDialog, "Aa", {{"编辑框1", "a"}, {"编辑框2", "b"}}, "bb"},
        Row{"case-sensitive",
            BasicReplaceDialog,
            "Aa",
            {{"编辑框1", "a"}, {"编辑框2", "b"}, {"选择框1", "1"}},
            "Ab"},
        Row{"non-overlapping",
            BasicReplaceDialog,
            "aaa",
            {{"编辑框1", "aa"}, {"编辑框2", "b"}},
            "ba"},
        Row{"only at character starts",
            BasicReplaceDialog,
            "\xB0\xA1\xA1",
            {{"编辑框1", "\xA1\xA1"}, {"编辑框2", "x"}},
            "\xB0\xA1\xA1"},
        Row{"empty search writes back", BasicReplaceDialog, "abc", {{"编辑框2", "x"}}, "abc"},
        Row{"empty replacement deletes", BasicReplaceDialog, "abcb", {{"编辑框1", "b"}}, "ac"},
        Row{"line breaks kept",
            LineBreakReplaceDialog,
            "a\r\nb",
            {{"选择框1", "1"}, {"选择框2", "1"}},
            "a\r\nb"},
        Row{"line breaks removed",
            LineBreakReplaceDialog,
            "a\r\nb\r\nc",
            {{"选择框1", "1"}},
            "abc"},
        Row{"lone CR and LF are not line breaks",
            LineBreakReplaceDialog,
            "a\rb\nc\r\nd",
            {{"选择框1", "1"}, {"编辑框_替换1", "|"}},
            "a\rb\nc|d"},
        Row{"line break added",
            LineBreakReplaceDialog,
            "a;b",
            {{"编辑框_寻找1", ";"}, {"选择框2", "1"}},
            "a\r\nb"},
        Row{"tab removed",
            TabReplaceDialog,
            "xa\tby",
            {{"编辑框_寻找1", "a"},
             {"选择框1", "1"},
             {"编辑框_寻找2", "b"},
             {"编辑框_替换1", "a"},
             {"编辑框_替换2", "b"}},
            "xaby"},
        Row{"tab dialog case-sensitive",
            TabReplaceDialog,
            "A\ta\t",
            {{"编辑框_寻找1", "a"}, {"选择框1", "1"}, {"选择框_大小写", "1"}},
            "A\t"}));

TEST(ReplaceDialogs, CaptionsOfBothSeparatorDialogs) {
    EXPECT_EQ(LineBreakReplaceDialog().title, "替换_换行符");
    EXPECT_EQ(TabReplaceDialog().title, "替换_TAB");
    DialogFields fields;
    TabReplaceDialog().createControls(fields);
    EXPECT_EQ(fields.At("标签4").caption, "+    TAB+");
    EXPECT_EQ(fields.At("按钮1").caption, "替换_换行符");
}

}  // namespace
}  // namespace velmor
