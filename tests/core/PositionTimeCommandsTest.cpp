#include <gtest/gtest.h>

#include <boost/regex.hpp>
#include <climits>
#include <random>

#include "core/CodePage936.h"
#include "core/CommandRegistry.h"
#include "core/FixedTime.h"
#include "core/MemoryEditor.h"
#include "search/RegexDialog.h"
#include "transform/PositionTimeCommands.h"

namespace velmor {
namespace {

struct KeepRow {
    Text text;
    int start;
    int length;
    Text deleted;
    Text extracted;
};

void PrintTo(const KeepRow& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.text) << " S=" << row.start << " L=" << row.length;
}

class KeepPositionTable : public ::testing::TestWithParam<KeepRow> {};

TEST_P(KeepPositionTable, DeletesOrKeepsTheByteRange) {
    const KeepRow& row = GetParam();
    EXPECT_EQ(KeepSpecifiedPosition(row.text, row.start, row.length, false), row.deleted);
    EXPECT_EQ(KeepSpecifiedPosition(row.text, row.start, row.length, true), row.extracted);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, KeepPositionTable,
    ::testing::Values(KeepRow{"abcdef", 3, 2, "abef", "cd"}, KeepRow{"abcdef", 3, 0, "abcdef", ""},
                      KeepRow{"abcdef", 9, 2, "abcdef", ""}, KeepRow{"abcdef", 0, 2, "bcdef", ""},
                      KeepRow{"abcdef", 1, 6, "", "abcdef"}, KeepRow{"abcdef", 5, 99, "abcd", "ef"},
                      KeepRow{"a\r\nb", 2, 2, "ab", "\r\n"},
                      KeepRow{"\xD6\xD0\xCE\xC4", 2, 2, "\xD6\xC4", "\xD0\xCE"},
                      KeepRow{"abc", INT_MAX, INT_MAX, "abc", ""},
                      KeepRow{"abc", INT_MIN, INT_MAX, "abc", ""},
                      KeepRow{"abc", 2, INT_MIN, "aabc", ""}, KeepRow{"", 1, 1, "", ""}));

Text Gbk(const char* utf8) {
    return Utf8ToGbk(utf8);
}

struct TimeRow {
    const char* input;
    const char* toSeconds;
    const char* toDuration;
};

void PrintTo(const TimeRow& row, std::ostream* out) {
    *out << row.input;
}

class TimeTable : public ::testing::TestWithParam<TimeRow> {};

TEST_P(TimeTable, ConvertsEachMatchInItsOwnPlace) {
    const TimeRow& row = GetParam();
    EXPECT_EQ(GbkToUtf8(HoursMinutesSecondsToSeconds(Gbk(row.input))), row.toSeconds);
    EXPECT_EQ(GbkToUtf8(*SecondsToHoursMinutesSeconds(Gbk(row.input), 1 << 20)), row.toDuration);
}

INSTANTIATE_TEST_SUITE_P(
    Durations, TimeTable,
    ::testing::Values(TimeRow{"1时1分1秒", "3661秒", "1时1分0时0分1秒"},
                      TimeRow{"0时0分59秒", "59秒", "0时0分0时0分59秒"},
                      TimeRow{"1时75分99秒", "8199秒", "1时75分0时1分39秒"},
                      TimeRow{"123时4分5秒", "183045秒", "123时4分0时0分5秒"},
                      TimeRow{"5分3秒", "5分3秒", "5分0时0分3秒"},
                      TimeRow{"3661秒 59秒 86400秒", "3661秒 59秒 86400秒",
                              "1时1分1秒 0时0分59秒 24时0分0秒"},
                      // Each match in its own place: 5秒 does not change the 5秒 inside 15秒.
                      TimeRow{"5秒 15秒", "5秒 15秒", "0时0分5秒 0时0分15秒"},
                      TimeRow{"秒 a秒", "秒 a秒", "秒 a秒"}, TimeRow{"１２秒", "１２秒", "１２秒"},
                      TimeRow{"99999999999秒", "99999999999秒", "596523时14分7秒"},
                      TimeRow{"0007秒", "0007秒", "0时0分7秒"}));

TEST(TimeCommands, RoundTripBelowSixty) {
    const Text text = Gbk("用时2时5分9秒，又0时59分0秒。");
    EXPECT_EQ(*SecondsToHoursMinutesSeconds(HoursMinutesSecondsToSeconds(text), 1 << 20), text);
}

TEST(TimeCommands, GrowthPastTheLimitIsRefused) {
    Text text;
    for (int k = 0; k < 1000; ++k) {
        text += Gbk("0秒");
    }
    EXPECT_FALSE(SecondsToHoursMinutesSeconds(text, 8000).has_value());
    EXPECT_TRUE(SecondsToHoursMinutesSeconds(text, 9000).has_value());
}

// A run of digits that ends in something else than "秒" is passed over once: the engine's lazy
// search would try it again from every digit, and give up on a long run.
TEST(TimeCommands, LongRunOfDigitsBeforeAnotherCharacter) {
    const Text digits(200000, '7');
    EXPECT_EQ(SecondsToHoursMinutesSeconds(digits + Gbk("x秒 65秒"), 1 << 30),
              digits + Gbk("x秒 0时1分5秒"));
}

// The greedy run of digits before "秒" finds the same matches as the lazy one on the engine
// itself, for texts of digits, the two bytes of "秒" apart and together, and other bytes.
TEST(TimeCommands, GreedySecondsPatternFindsTheLazyMatches) {
    const boost::regex lazy(Gbk("[0-9]*?秒"));
    const boost::regex greedy(Gbk("[0-9]*秒"));
    const auto all = [](const Text& text, const boost::regex& regex) {
        std::vector<std::pair<long, long>> found;
        for (auto it = boost::sregex_iterator(text.begin(), text.end(), regex);
             it != boost::sregex_iterator(); ++it) {
            found.emplace_back(it->position(), it->length());
        }
        return found;
    };
    const Text second = Gbk("秒");
    const Text pieces[] = {"1",    "0", "9", "x", second, second.substr(0, 1), second.substr(1),
                           "\xB0", " "};
    std::mt19937 random(3);
    for (int run = 0; run < 3000; ++run) {
        Text text;
        for (unsigned k = random() % 24; k > 0; --k) {
            text += pieces[random() % std::size(pieces)];
        }
        ASSERT_EQ(all(text, greedy), all(text, lazy)) << ::testing::PrintToString(text);
    }
}

struct InsertRow {
    DateTime now;
    const char* expectedTail;
};

class InsertTimeTable : public ::testing::TestWithParam<InsertRow> {};

TEST_P(InsertTimeTable, AppendsAtTheVeryEnd) {
    const CommandRegistry registry = BuildCommandRegistry();
    const Command* command = registry.FindByName("插入时间");
    ASSERT_NE(command, nullptr);
    MemoryEditor editor(Gbk("正文"));
    FixedClock clock(GetParam().now);
    Services services;
    services.clock = &clock;
    CommandContext context{editor, services};
    CommandRegistry::RunDirect(*command, context);
    EXPECT_EQ(GbkToUtf8(editor.ReadText()),
              std::string("正文2026年3月5日") + GetParam().expectedTail);
    EXPECT_EQ(editor.NoticeSteps(), 1);
    EXPECT_TRUE(editor.ModifiedFlag());
}

INSTANTIATE_TEST_SUITE_P(Times, InsertTimeTable,
                         ::testing::Values(InsertRow{MakeDateTime(2026, 3, 5, 9, 0, 5),
                                                     "9时0分5秒"},
                                           InsertRow{MakeDateTime(2026, 3, 5, 9, 5, 0), "9时5分"},
                                           InsertRow{MakeDateTime(2026, 3, 5, 9, 0, 0), "9时"},
                                           InsertRow{MakeDateTime(2026, 3, 5), ""}));

TEST(RegexDialogModes, RadioButtonsRelabelAndEnable) {
    MemoryEditor editor("abcdef");
    Services services;
    CommandContext context{editor, services};
    DialogSession regex(RegexDialog(RegexDialogMode::RegexReplace), context);
    DialogFields& fields = regex.Fields();
    EXPECT_EQ(fields.At("按钮2").caption, "替换");
    EXPECT_TRUE(fields.IsChecked("单选框1"));
    EXPECT_TRUE(fields.At("选择框1").visible);
    ASSERT_TRUE(regex.ClickRadio("单选框2"));
    EXPECT_EQ(fields.At("按钮2").caption, "提取");
    EXPECT_FALSE(fields.At("编辑框2").enabled);
    EXPECT_FALSE(fields.At("标签2").enabled);
    ASSERT_TRUE(regex.ClickRadio("单选框1"));
    EXPECT_TRUE(fields.At("编辑框2").enabled);

    DialogSession keep(RegexDialog(RegexDialogMode::KeepPosition), context);
    EXPECT_EQ(keep.Definition().title, "保留指定位置");
    EXPECT_EQ(keep.Fields().At("按钮2").caption, "删除");
    EXPECT_EQ(keep.Fields().At("标签1").caption, "起始位置：");
    EXPECT_FALSE(keep.Fields().At("选择框1").visible);
    ASSERT_TRUE(keep.ClickRadio("单选框2"));
    EXPECT_TRUE(keep.Fields().At("编辑框2").enabled);
    ASSERT_TRUE(keep.SetEditText("编辑框_正则", "3"));
    ASSERT_TRUE(keep.SetEditText("编辑框2", "2"));
    ASSERT_TRUE(keep.Press("按钮2"));
    EXPECT_EQ(editor.ReadText(), "cd");

    // Set up again for the other mode, the open dialog acts in that mode on its fields.
    ApplyRegexDialogMode(keep.Fields(), RegexDialogMode::RegexReplace);
    EXPECT_EQ(keep.Fields().At("按钮2").caption, "替换");
    EXPECT_EQ(keep.Fields().At("标签2").caption, "替换为(P)：");
    ASSERT_TRUE(keep.SetEditText("编辑框_正则", "c"));
    ASSERT_TRUE(keep.Press("按钮2"));
    EXPECT_EQ(editor.ReadText(), "2d");
}

}  // namespace
}  // namespace velmor
