#include <gtest/gtest.h>

#include <ostream>
#include <random>

#include "core/CodePage936.h"
#include "core/CommandRegistry.h"
#include "core/MemoryEditor.h"
#include "core/TextPrimitives.h"
#include "search/RegexObject.h"
#include "transform/FilterLineBreakCommands.h"

namespace velmor {
namespace {

struct FilterRow {
    CharacterFilter filter;
    Text input;
    Text expected;
};

void PrintTo(const FilterRow& row, std::ostream* out) {
    *out << static_cast<int>(row.filter) << " on " << ::testing::PrintToString(row.input);
}

class FilterTable : public ::testing::TestWithParam<FilterRow> {};

TEST_P(FilterTable, KeepsOnlyItsClass) {
    EXPECT_EQ(FilterCharacters(GetParam().input, GetParam().filter), GetParam().expected);
}

const Text kChinese = "\xD6\xD0\xCE\xC4";          // 中文
const Text kBang = "\xA3\xA1";                     // ！
const Text kFullWidthDigits = "\xA3\xB0\xA3\xB9";  // ０９
const Text kIdeographicZero = "\xA9\x96";          // 〇
const Text kSample = "abc" + kChinese + "123" + kBang;

INSTANTIATE_TEST_SUITE_P(
    Examples, FilterTable,
    ::testing::Values(
        FilterRow{CharacterFilter::Chinese, kSample, kChinese + kBang},
        FilterRow{CharacterFilter::Letters, kSample, "abc"},
        FilterRow{CharacterFilter::Digits, kSample, "123"},
        FilterRow{CharacterFilter::Symbols, kSample, kBang},
        FilterRow{CharacterFilter::Chinese, "ab c\r\nd~\x7F\t\r\n", "\r\n\t\r\n"},
        FilterRow{CharacterFilter::Letters, "ab\r\ncd", "abcd"},
        FilterRow{CharacterFilter::Digits, "1\r\n2" + kFullWidthDigits, "12"},
        FilterRow{CharacterFilter::Chinese, kFullWidthDigits, kFullWidthDigits},
        FilterRow{CharacterFilter::Symbols, "aZ9 -" + kFullWidthDigits, " -" + kFullWidthDigits},
        FilterRow{CharacterFilter::Symbols, kIdeographicZero + kChinese, kIdeographicZero},
        FilterRow{CharacterFilter::Chinese, kIdeographicZero, kIdeographicZero},
        FilterRow{CharacterFilter::Digits, "abc", ""},
        FilterRow{CharacterFilter::Chinese,
                  "\x80"
                  "a",
                  "\x80"},
        FilterRow{CharacterFilter::Symbols, EncodeCodePoint(0x20000) + EncodeCodePoint(0x9FA5),
                  EncodeCodePoint(0x20000)},
        // Stray bytes kept apart stay stray bytes: together they would read as 中 or á.
        FilterRow{CharacterFilter::Chinese, "\xE4.\xB8.\xAD.", "\xE4\xB8\xAD"},
        FilterRow{CharacterFilter::Chinese, "\xC3.\xA1.", "\xC3\xA1"},
        FilterRow{CharacterFilter::Symbols,
                  "\xE4"
                  "0\xB8"
                  "0\xAD",
                  "\xE4\xB8\xAD"},
        // An unmapped pair is two characters of one byte: only the lead is outside ASCII.
        FilterRow{CharacterFilter::Chinese, "\x81\x7F", "\x81"}));

TEST(FilterCommands, RunThroughTheRegistryOnTheWholeDocument) {
    const CommandRegistry registry = BuildCommandRegistry();
    for (const auto& [name, expected] :
         {std::pair{"汉字", kChinese + kBang}, std::pair{"字母", Text("abc")},
          std::pair{"数字", Text("123")}, std::pair{"符号", kBang}}) {
        MemoryEditor editor(kSample);
        Services services;
        CommandContext context{editor, services};
        const Command* command = registry.FindByName(name);
        ASSERT_NE(command, nullptr);
        CommandRegistry::RunDirect(*command, context);
        EXPECT_EQ(editor.ReadText(), expected) << name;
        EXPECT_EQ(editor.ChangeNotifications(), 1);
        EXPECT_EQ(editor.NoticeSteps(), 0);
    }
}

// The filter as a regular expression over the text: every match, in order.
Text FilterByRegex(const Text& text, CharacterFilter filter) {
    struct Pattern {
        const char* pattern;
        bool caseSensitive;
    };
    static const Pattern patterns[] = {{"[^\\x20-\\x7f]", false},
                                       {"[a-zA-Z]", true},
                                       {"[0-9]", false},
                                       {"[^0-9a-z\\u4e00-\\u9fa5]", false}};
    const Pattern& p = patterns[static_cast<int>(filter)];
    RegexObject regex;
    regex.Execute(p.pattern, text, p.caseSensitive, true, true);
    Text kept;
    for (int k = 1; k <= regex.MatchCount(); ++k) {
        kept += regex.MatchText(k);
    }
    return kept;
}

TEST(FilterCharacters, EqualsTheRegularExpressionOnRandomAndIllFormedText) {
    std::mt19937 random(32);
    const CharacterFilter filters[] = {CharacterFilter::Chinese, CharacterFilter::Letters,
                                       CharacterFilter::Digits, CharacterFilter::Symbols};
    for (int round = 0; round < 200; ++round) {
        Text text;
        const int length = static_cast<int>(random() % 400);
        for (int k = 0; k < length; ++k) {
            const int roll = static_cast<int>(random() % 13);
            if (roll < 4) {
                text += static_cast<char>(1 + random() % 0x7F);
            } else if (roll < 7) {
                text += EncodeCodePoint(0x4E00 + random() % 0x5200);
            } else if (roll < 9) {
                // Anything of the basic plane the code page can write, letters of other
                // scripts, full-width forms and ideographs beyond the range among them.
                char32_t codePoint;
                do {
                    codePoint = 0x80 + random() % 0xFF00;
                } while (codePoint >= 0xD800 && codePoint < 0xE000);
                text += EncodeCodePoint(codePoint);
            } else if (roll < 10) {
                text += EncodeCodePoint(0x10000 + random() % 0x30000);
            } else if (roll < 12) {
                // A stray byte: a lead without its trail, a lone trail or 0xFF.
                text += static_cast<char>(0x80 + random() % 0x80);
            } else {
                static const Text kIllFormed[] = {"\x81\x7F", "\xA2\xE3", "\x81\x30",
                                                  "\x81\x30\x81", "\xE4\x30\xB8\x30"};
                text += kIllFormed[random() % std::size(kIllFormed)];
            }
        }
        for (const CharacterFilter filter : filters) {
            ASSERT_EQ(FilterCharacters(text, filter), FilterByRegex(text, filter))
                << static_cast<int>(filter) << " " << ::testing::PrintToString(text);
        }
    }
}

// The commands as the menu describes them, writing whole texts pass by pass.
Text CollapseByPasses(Text text) {
    while (TextFind(text, "\r\n\r\n") > 0) {
        text = TextReplace(text, "\r\n\r\n", "\r\n", 1, -1, true);
    }
    return text;
}

Text ChangeBySplitting(Text text, int replaced, int replacing) {
    while (TextRight(text, 2) == "\r\n") {
        text = TextLeft(text, TextLen(text) - 2);
    }
    Text separator, replacement;
    for (int k = 0; k < replaced; ++k) {
        separator += "\r\n";
    }
    for (int k = 0; k < replacing; ++k) {
        replacement += "\r\n";
    }
    const TextList pieces = TextSplit(text, separator);
    Text joined;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        joined += (k > 0 ? replacement : Text()) + pieces[k];
    }
    return joined;
}

Text SplitByPieces(const Text& text, const Text& separator) {
    Text result;
    for (const Text& piece : TextSplit(text, separator)) {
        result += piece + "\r\n";
    }
    return result;
}

Text RandomLineText(std::mt19937& random) {
    static const Text pieces[] = {"\r\n", "\r\n", "\r\n", "\r",       "\n",       "a",
                                  ",",    ",,",   "\x81", "\xD6\xD0", "\xA3\xAC", "\xAC\xA3"};
    Text text;
    const int length = static_cast<int>(random() % 20);
    for (int k = 0; k < length; ++k) {
        text += pieces[random() % std::size(pieces)];
    }
    return text;
}

TEST(LineBreakCommands, OnePassGivesWhatTheWholeTextPassesGive) {
    std::mt19937 random(33);
    const Text separators[] = {",", ",,", "\xA3\xAC", "\r\n", "a\r", ""};
    for (int round = 0; round < 20000; ++round) {
        const Text text = RandomLineText(random);
        ASSERT_EQ(CollapseLineBreakRuns(text), CollapseByPasses(text))
            << ::testing::PrintToString(text);
        const int replaced = static_cast<int>(random() % 5) - 1;
        const int replacing = static_cast<int>(random() % 5) - 1;
        ASSERT_EQ(ChangeLineBreakRuns(text, replaced, replacing),
                  ChangeBySplitting(text, replaced, replacing))
            << ::testing::PrintToString(text) << " " << replaced << " " << replacing;
        const Text& separator = separators[random() % std::size(separators)];
        ASSERT_EQ(SplitIntoParagraphs(text, separator), SplitByPieces(text, separator))
            << ::testing::PrintToString(text) << " at " << ::testing::PrintToString(separator);
    }
}

struct ChangeRow {
    Text input;
    int replaced;
    int replacing;
    Text expected;
};

void PrintTo(const ChangeRow& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.input) << " " << row.replaced << "->" << row.replacing;
}

class ChangeTable : public ::testing::TestWithParam<ChangeRow> {};

TEST_P(ChangeTable, ChangesRunsAndDropsTrailingBreaks) {
    EXPECT_EQ(ChangeLineBreakRuns(GetParam().input, GetParam().replaced, GetParam().replacing),
              GetParam().expected);
}

const Text kBreak = "\r\n";
Text Breaks(int n) {
    Text text;
    for (int k = 0; k < n; ++k) {
        text += kBreak;
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ChangeTable,
    ::testing::Values(
        ChangeRow{"a" + Breaks(5) + "b", 3, 2, "a" + Breaks(4) + "b"},
        ChangeRow{"a" + Breaks(6) + "b", 3, 2, "a" + Breaks(4) + "b"},
        ChangeRow{"a" + Breaks(2), 3, 2, "a"},
        ChangeRow{"a\r\nb\r\n\r\nc\r\n", 1, 2, "a" + Breaks(2) + "b" + Breaks(4) + "c"},
        ChangeRow{Breaks(3) + "a" + Breaks(3) + "b", 0, 2, Breaks(3) + "a" + Breaks(3) + "b"},
        ChangeRow{Breaks(3) + "a" + Breaks(4) + "b", 3, 0, "a\r\nb"}, ChangeRow{"", 3, 2, ""},
        ChangeRow{Breaks(4), 3, 2, ""},
        // The trailing pairs go byte-wise, even where CR is a trail byte.
        ChangeRow{"\x81\r\n", 1, 2, "\x81"}));

TEST(ChangeLineBreakRuns, RefusesAResultBeyondTheLimit) {
    EXPECT_EQ(ChangeLineBreakRuns("a\r\nb", 1, 2000000000), std::nullopt);
    EXPECT_EQ(ChangeLineBreakRuns("ab", 1, 2000000000), "ab");
}

TEST(CollapseLineBreakRuns, Examples) {
    EXPECT_EQ(CollapseLineBreakRuns("a" + Breaks(4) + "b"), "a\r\nb");
    EXPECT_EQ(CollapseLineBreakRuns("a\r\n\n\r\nb"), "a\r\n\n\r\nb");
    EXPECT_EQ(CollapseLineBreakRuns(Breaks(3) + "a" + Breaks(2)), "\r\na\r\n");
}

TEST(SplitIntoParagraphs, Examples) {
    EXPECT_EQ(SplitIntoParagraphs("a,b,c", ","), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(SplitIntoParagraphs("a,b,", ","), "a\r\nb\r\n");
    EXPECT_EQ(SplitIntoParagraphs("a,,b", ","), "a\r\n\r\nb\r\n");
    EXPECT_EQ(SplitIntoParagraphs("ab", ""), "ab\r\n");
    EXPECT_EQ(SplitIntoParagraphs("ab", ";"), "ab\r\n");
    EXPECT_EQ(SplitIntoParagraphs("", ","), "");
    // 中，文 and the pair AC A3 that straddles 中 and ， elsewhere.
    EXPECT_EQ(SplitIntoParagraphs("\xD6\xD0\xA3\xAC\xCE\xC4", "\xA3\xAC"),
              "\xD6\xD0\r\n\xCE\xC4\r\n");
    EXPECT_EQ(SplitIntoParagraphs("\xA3\xA3\xAC\xA3", "\xA3\xAC"), "\xA3\xA3\xAC\xA3\r\n");
}

TEST(LineBreakDialogs, RunFromTheirButtonsAndRefuseWithAMessage) {
    MemoryEditor editor("a" + Breaks(5) + "b" + Breaks(2));
    Services services;
    CommandContext context{editor, services};
    DialogSession change(LineBreakCountDialog(), context);
    EXPECT_EQ(change.Fields().TextOf("编辑框_被"), "3");
    EXPECT_EQ(change.Fields().TextOf("编辑框_欲"), "2");
    ASSERT_TRUE(change.Press("按钮1"));
    EXPECT_EQ(editor.ReadText(), "a" + Breaks(4) + "b");
    EXPECT_EQ(editor.ChangeNotifications(), 1);
    change.SetEditText("编辑框_被", "1");
    change.SetEditText("编辑框_欲", "2000000000");
    change.Press("按钮1");
    EXPECT_EQ(editor.ReadText(), "a" + Breaks(4) + "b");
    ASSERT_EQ(editor.Messages().size(), 1u);
    EXPECT_EQ(editor.Messages()[0].title, "错误");

    DialogSession split(SplitTextDialog(), context);
    split.SetEditText("编辑框1", "");
    split.Press("按钮1");
    split.Press("按钮1");
    EXPECT_EQ(editor.ReadText(), "a" + Breaks(4) + "b" + Breaks(2));
}

}  // namespace
}  // namespace velmor
