#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/CommandRegistry.h"
#include "core/MemoryEditor.h"

namespace velmor {
namespace {

struct Row {
    const char* command;
    Text input;
    Text expected;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.command << " on " << ::testing::PrintToString(row.input);
}

// Runs a registered command on text as the menu would.
Text RunCommand(const std::string& name, const Text& input, MemoryEditor* inspect = nullptr) {
    static const CommandRegistry registry = BuildCommandRegistry();
    const Command* command = registry.FindByName(name);
    EXPECT_NE(command, nullptr) << name;
    if (command == nullptr) {
        return {};
    }
    MemoryEditor editor(input);
    Services services;
    CommandContext context{editor, services};
    CommandRegistry::RunDirect(*command, context);
    if (inspect != nullptr) {
        *inspect = editor;
    }
    return editor.ReadText();
}

class CaseWidthTable : public ::testing::TestWithParam<Row> {};

TEST_P(CaseWidthTable, ConvertsTheWholeDocument) {
    const Row& row = GetParam();
    EXPECT_EQ(RunCommand(row.command, row.input), row.expected);
}

const Text kChinese = "\xD6\xD0\xCE\xC4";  // 中文

INSTANTIATE_TEST_SUITE_P(
    Conversions, CaseWidthTable,
    ::testing::Values(Row{"到大写", "abcXYZ" + kChinese, "ABCXYZ" + kChinese},
                      Row{"到小写", "abcXYZ" + kChinese, "abcxyz" + kChinese},
                      // 81 61 is one character whose trail byte looks like "a".
                      Row{"到大写",
                          "\x81"
                          "a"
                          "b",
                          "\x81"
                          "aB"},
                      Row{"到小写",
                          "\x81"
                          "A"
                          "B",
                          "\x81"
                          "Ab"},
                      Row{"到大写", "x\r\n\ty\xB0", "X\r\n\tY\xB0"},
                      Row{"到小写", "X\xB0", "x\xB0"},
                      Row{"到全角", "A 1~", "\xA3\xC1\xA1\xA1\xA3\xB1\xA1\xAB"},
                      Row{"到全角", "a\r\n\tb", "\xA3\xE1\r\n\t\xA3\xE2"},
                      Row{"到全角", kChinese + "!", kChinese + "\xA3\xA1"},
                      Row{"到全角", "a\xB0", "\xA3\xE1"}, Row{"到半角", "\xA1\xEE\xA1\xEF", "**"},
                      Row{"到半角", "\xA3\xC1\xA1\xA1\xA1\xAB", "A ~"},
                      Row{"到半角", kChinese + "\xA3\xA1\r\n", kChinese + "!\r\n"},
                      Row{"到半角", "\xA3\xC1\xB0", "A"}, Row{"到大写", "", ""},
                      Row{"到小写", "", ""}, Row{"到全角", "", ""}, Row{"到半角", "", ""}));

TEST(CaseWidthCommandsTest, FullThenHalfWidthRestoresTextWithoutA1OrA3Pairs) {
    Text printable;
    for (int c = 0x20; c < 0x7F; ++c) {
        printable += static_cast<char>(c);
    }
    const Text text = printable + "\r\n\t" + kChinese + "\x81\x61";
    EXPECT_EQ(RunCommand("到半角", RunCommand("到全角", text)), text);
}

TEST(CaseWidthCommandsTest, EachCommandReplacesOnceAndTakesTheNoticeStep) {
    for (const char* name : {"到大写", "到小写", "到全角", "到半角"}) {
        MemoryEditor editor;
        RunCommand(name, "", &editor);
        EXPECT_EQ(editor.ChangeNotifications(), 1) << name;
        EXPECT_EQ(editor.NoticeSteps(), 1) << name;
    }
}

TEST(CaseWidthCommandsTest, AllSixAreDirectCommandsWithTheNoticeStep) {
    const CommandRegistry registry = BuildCommandRegistry();
    for (const char* name : {"到大写", "到小写", "到简体", "到繁体", "到全角", "到半角"}) {
        const Command* command = registry.FindByName(name);
        ASSERT_NE(command, nullptr) << name;
        EXPECT_TRUE(command->run) << name;
        EXPECT_EQ(command->dialog, nullptr) << name;
        EXPECT_TRUE(command->supportNotice) << name;
        EXPECT_FALSE(command->windowOnly) << name;
        EXPECT_EQ(command->caption, name);
    }
}

}  // namespace
}  // namespace velmor
