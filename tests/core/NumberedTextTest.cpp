#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GeneratorTestSupport.h"
#include "generate/GenerateDialogs.h"
#include "generate/GeneratedText.h"
#include "generate/NumberedText.h"

namespace velmor {
namespace {

using test::Action;
using test::Check;
using test::DialogRun;
using test::Set;

const char* const kTooLarge = "生成的文本过大（超过1GB），请减少数量。";

struct Row {
    const char* what;
    std::vector<Action> actions;
    std::string expected;  // UTF-8, CR LF written out
    bool refused = false;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.what;
}

class NumberedTextTable : public ::testing::TestWithParam<Row> {};

TEST_P(NumberedTextTable, ReplacesTheDocumentOnce) {
    const Row& row = GetParam();
    DialogRun run(NumberedTextDialog(), Utf8ToGbk("旧的内容\r\n"));
    ASSERT_TRUE(run.Do(row.actions));
    ASSERT_TRUE(run.Do({test::Press("按钮1")}));
    if (row.refused) {
        EXPECT_EQ(run.DocumentUtf8(), "旧的内容\r\n");
        EXPECT_EQ(run.Editor().ChangeNotifications(), 0);
        ASSERT_EQ(run.Editor().Messages().size(), 1u);
        EXPECT_EQ(run.Editor().Messages()[0].text, kTooLarge);
        EXPECT_EQ(run.Editor().Messages()[0].kind, MessageKind::Error);
        return;
    }
    EXPECT_EQ(run.DocumentUtf8(), row.expected);
    EXPECT_EQ(run.Editor().ChangeNotifications(), 1);
    EXPECT_TRUE(run.Editor().Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NumberedTextTable,
    ::testing::Values(
        Row{"left, start and right",
            {Set("编辑框_文本左", "Item"), Set("编辑框_起始号", "1"), Set("编辑框_文本右", ".txt"),
             Set("编辑框_行数", "3")},
            "Item1.txt\r\nItem2.txt\r\nItem3.txt\r\n"},
        Row{"empty start counts from 0", {Set("编辑框_行数", "3")}, "0\r\n1\r\n2\r\n"},
        Row{"negative start",
            {Set("编辑框_起始号", "-2"), Set("编辑框_行数", "4")},
            "-2\r\n-1\r\n0\r\n1\r\n"},
        Row{"without numbers the lines are equal",
            {Check("选择框1", false), Set("编辑框_文本左", "甲"), Set("编辑框_文本右", "乙"),
             Set("编辑框_起始号", "7"), Set("编辑框_行数", "3")},
            "甲乙\r\n甲乙\r\n甲乙\r\n"},
        Row{"numbers alone",
            {Set("编辑框_起始号", "1"), Set("编辑框_行数", "5")},
            "1\r\n2\r\n3\r\n4\r\n5\r\n"},
        Row{"no lines empties the document", {Set("编辑框_行数", "0")}, ""},
        Row{"an empty count empties the document", {Set("编辑框_行数", "")}, ""},
        Row{"a negative count empties the document", {Set("编辑框_行数", "-3")}, ""},
        Row{"letters read as no lines", {Set("编辑框_行数", "abc")}, ""},
        Row{"full-width digits count",
            {Set("编辑框_行数", "２"), Set("编辑框_起始号", "９")},
            "9\r\n10\r\n"},
        Row{"line breaks inside the texts are kept",
            {Set("编辑框_文本左", "a\r\n"), Set("编辑框_文本右", "\r\nb"), Set("编辑框_行数", "2"),
             Set("编辑框_起始号", "1")},
            "a\r\n1\r\nb\r\na\r\n2\r\nb\r\n"},
        Row{"numbers run past the 32-bit limit",
            {Set("编辑框_起始号", "2147483646"), Set("编辑框_行数", "3")},
            "2147483646\r\n2147483647\r\n2147483648\r\n"},
        Row{"a start beyond the limit saturates",
            {Set("编辑框_起始号", "-99999999999"), Set("编辑框_行数", "2")},
            "-2147483648\r\n-2147483647\r\n"},
        Row{"two thousand million lines are refused", {Set("编辑框_行数", "2000000000")}, "", true},
        Row{"2^40 lines saturate and are refused", {Set("编辑框_行数", "1099511627776")}, "", true},
        Row{"a long left text is refused for its size",
            {Set("编辑框_文本左", std::string(1000, 'x')), Set("编辑框_行数", "1100000")},
            "",
            true}));

// "%.13g" of the floating-point number, as the line numbers are printed, for each value.
std::uint64_t PrintedLengthSum(long long first, long long last) {
    std::uint64_t sum = 0;
    for (long long value = first; value <= last; ++value) {
        char digits[40];
        sum += static_cast<std::uint64_t>(
            std::snprintf(digits, sizeof digits, "%.13g", static_cast<double>(value)));
    }
    return sum;
}

TEST(IntegerTextLengthSum, AgreesWithPrintfOverBandEdges) {
    const std::pair<long long, long long> ranges[] = {
        {0, 0},
        {-1, -1},
        {-12, 12},
        {-1005, 1005},
        {9, 10},
        {99990, 100010},
        {5, 4},
        {-2147483648LL, -2147483548LL},
        {2147483600LL, 2147483700LL},
        {4294967200LL, 4294967295LL},
        {999999990, 1000000010},
    };
    for (const auto& [first, last] : ranges) {
        EXPECT_EQ(IntegerTextLengthSum(first, last), PrintedLengthSum(first, last))
            << first << ".." << last;
    }
}

TEST(IntegerTextLengthSum, AgreesWithIntegerTextOneByOne) {
    for (long long value = -100001; value <= 100001; value += 7) {
        ASSERT_EQ(IntegerTextLengthSum(value, value), IntegerText(value).size()) << value;
    }
}

TEST(BuildNumberedText, SizeIsExactlyWhatWasComputed) {
    NumberedTextRequest request;
    request.left = "L";
    request.right = "\xD6\xD0";
    request.start = -1500;
    request.lines = 120000;
    const std::optional<Text> text = BuildNumberedText(request);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 120000u * 5 + IntegerTextLengthSum(-1500, 118499));
    EXPECT_EQ(text->substr(0, 10), "L-1500\xD6\xD0\r\n");
    EXPECT_EQ(text->substr(text->size() - 11), "L118499\xD6\xD0\r\n");
}

}  // namespace
}  // namespace velmor
