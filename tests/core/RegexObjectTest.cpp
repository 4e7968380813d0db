#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/CodePage936.h"
#include "search/RegexObject.h"

namespace velmor {
namespace {

// Patterns, texts and results are written in UTF-8 here and converted to GBK.
Text G(const std::string& utf8) {
    return Utf8ToGbk(utf8);
}

struct MatchRow {
    std::string pattern;
    std::string text;
    std::vector<std::string> expected;
    bool caseSensitive = false;
    bool multiLine = true;
    bool global = true;
};

void PrintTo(const MatchRow& row, std::ostream* out) {
    *out << "/" << row.pattern << "/ on " << ::testing::PrintToString(row.text);
}

std::vector<std::string> AllMatches(const RegexObject& regex) {
    std::vector<std::string> found;
    for (int i = 1; i <= regex.MatchCount(); ++i) {
        found.push_back(GbkToUtf8(regex.MatchText(i)));
    }
    return found;
}

class RegexMatchTable : public ::testing::TestWithParam<MatchRow> {};

TEST_P(RegexMatchTable, FindsTheMatchesJScriptFinds) {
    const MatchRow& row = GetParam();
    RegexObject regex;
    ASSERT_TRUE(
        regex.Execute(G(row.pattern), G(row.text), row.caseSensitive, row.multiLine, row.global));
    EXPECT_EQ(AllMatches(regex), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, RegexMatchTable,
    ::testing::Values(
        MatchRow{"[0-9]", "a1b22", {"1", "2", "2"}}, MatchRow{"[a-z]", "aB", {"a", "B"}},
        MatchRow{"[a-z]", "aB", {"a"}, true}, MatchRow{"[^\\x20-\\x7f]", "ab中c！", {"中", "！"}},
        MatchRow{"[^0-9a-z\\u4e00-\\u9fa5]", "abc中文123！Z〇", {"！", "〇"}},
        MatchRow{"[0-9]", "１2", {"2"}}, MatchRow{"\\d+", "a12 b345", {"12", "345"}},
        MatchRow{"\\D", "1a2", {"a"}}, MatchRow{"\\w+", "中文abc_1 x", {"abc_1", "x"}},
        MatchRow{"\\W", "a中_", {"中"}},
        MatchRow{"\\s",
                 "a b\tc\xe3\x80\x80"
                 "d",
                 {" ", "\t", "\xe3\x80\x80"}},
        MatchRow{"\\S+", "ab cd", {"ab", "cd"}}, MatchRow{"^a", "a\r\na\nba", {"a", "a"}},
        MatchRow{"^a", "a\r\na\nba", {"a"}, false, false}, MatchRow{"a$", "ba\r\nca", {"a", "a"}},
        MatchRow{"a$", "ba\r\nca", {"a"}, false, false}, MatchRow{"^", "a\r\nb", {"", "", ""}},
        MatchRow{"\\bfoo\\b", "foo foobar barfoo foo", {"foo", "foo"}},
        MatchRow{"\\Bo\\B", "foo boot", {"o", "o", "o"}}, MatchRow{"(a\\1)+", "aa", {"aa"}},
        MatchRow{"(a)\\1", "aa a", {"aa"}}, MatchRow{"\\2(a)(b)", "ab", {"ab"}},
        MatchRow{"(a)|\\1b", "b", {"b"}}, MatchRow{"(A)\\1", "Aa", {"Aa"}},
        MatchRow{"(A)\\1", "Aa", {}, true}, MatchRow{"a|", "ba", {"", "a", ""}},
        MatchRow{"x*", "axx", {"", "xx", ""}}, MatchRow{"\\u4e2d", "中国中", {"中", "中"}},
        MatchRow{"\\x41", "ABA", {"A", "A"}, true}, MatchRow{"\\u00", "u00", {"u00"}},
        MatchRow{"\\xg", "xg", {"xg"}},
        MatchRow{"[\\u4e00-\\u9fa5]+", "abc中文def国", {"中文", "国"}},
        MatchRow{".", "a\r\nb", {"a", "b"}}, MatchRow{"a{2}", "aaaaa", {"aa", "aa"}},
        MatchRow{"a{2,}?", "aaaaa", {"aa", "aa"}}, MatchRow{"a{,2}", "a{,2}", {"a{,2}"}},
        MatchRow{"a{", "a{", {"a{"}}, MatchRow{"]}", "a]}", {"]}"}},
        MatchRow{"(?=a)\\w", "ab", {"a"}}, MatchRow{"a(?!b)", "ab ac", {"a"}},
        MatchRow{"(?:ab)+", "ababa", {"abab"}}, MatchRow{"\\cJ", "a\nb", {"\n"}},
        MatchRow{"\\c1", "\\c1", {"\\c1"}}, MatchRow{"[\\c1]", "\x11", {"\x11"}},
        MatchRow{"[\\b]", "a\bb", {"\b"}}, MatchRow{"\\8", "8", {"8"}},
        MatchRow{"\\101", "ABA", {"A", "A"}, true}, MatchRow{"(a)\\2", "a\x02", {"a\x02"}},
        MatchRow{"[\\d-z]", "5-z", {"5", "-", "z"}}, MatchRow{"[a-]", "-a", {"-", "a"}},
        MatchRow{"[0-9]", "a1b2", {"1"}, false, true, false}, MatchRow{"[]", "abc", {}},
        MatchRow{"[^]", "a\nb", {"a", "\n", "b"}}, MatchRow{"ａ", "ＡａA", {"Ａ", "ａ"}},
        MatchRow{"σ", "ΣσςS", {"Σ", "σ", "ς"}}, MatchRow{"[а-я]+", "Привет", {"Привет"}},
        MatchRow{"[а-я]+", "Привет", {"ривет"}, true}, MatchRow{"k", "Kk\xe2\x84\xaa", {"K", "k"}},
        MatchRow{"[^a]", "A", {}}, MatchRow{"\\W", "k", {}}, MatchRow{"(?<=a)b", "ab cb", {"b"}}));

TEST(RegexObject, RejectsWhatJScriptRejects) {
    for (const char* pattern :
         {"(", "[a", "a**", "a+*", "\\", "a\\", "*a", "+", "?", "{1}", "(?<name>a)", "(?x)",
          "[z-a]", "a{3,2}", ")", "a)", "^*", "\\b+", "(?<=a)*"}) {
        RegexObject regex;
        EXPECT_FALSE(regex.Execute(pattern, "a(")) << pattern;
        EXPECT_EQ(regex.MatchCount(), 0) << pattern;
        EXPECT_EQ(regex.MatchText(1), "") << pattern;
        EXPECT_EQ(regex.SubMatchCount(), 0) << pattern;
        EXPECT_EQ(regex.ReplaceMatches("x"), "") << pattern;
    }
}

TEST(RegexObject, HandsBackEveryCharacterWholeInItsOwnBytes) {
    // A four-byte code, the euro byte, a lone lead byte and an unmapped pair among Chinese.
    const Text text = G("中\xF0\x9F\x98\x80") + "\x80" + "a\x81 " + G("文") + "\xA2\xE3" + "\x81";
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("[^\\x20-\\x7f]", text));
    std::vector<Text> found;
    for (int i = 1; i <= regex.MatchCount(); ++i) {
        found.push_back(regex.MatchText(i));
    }
    EXPECT_EQ(found, (std::vector<Text>{G("中"), G("\xF0\x9F\x98\x80"), "\x80", "\x81", G("文"),
                                        "\xA2", "\xE3", "\x81"}));
    ASSERT_TRUE(regex.Execute("a.", text));
    EXPECT_EQ(regex.MatchText(1), "a\x81");
}

TEST(RegexObject, OutOfRangeIndexesGiveTheEmptyText) {
    RegexObject regex;
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.GetPattern(), "");
    EXPECT_EQ(regex.ReplaceMatches("x"), "");
    ASSERT_TRUE(regex.Execute("(a)(b)?", "a ab"));
    EXPECT_EQ(regex.GetPattern(), "(a)(b)?");
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.MatchText(0), "");
    EXPECT_EQ(regex.MatchText(3), "");
    EXPECT_EQ(regex.MatchText(-1), "");
    EXPECT_EQ(regex.SubMatchCount(), 2);
    EXPECT_EQ(regex.SubMatchText(1, 1), "a");
    EXPECT_EQ(regex.SubMatchText(1, 2), "");
    EXPECT_EQ(regex.SubMatchText(2, 2), "b");
    EXPECT_EQ(regex.SubMatchText(2, 3), "");
    EXPECT_EQ(regex.SubMatchText(3, 1), "");
    EXPECT_EQ(regex.SubMatchText(0, 1), "");
    ASSERT_TRUE(regex.Execute("(x)", "abc"));
    EXPECT_EQ(regex.SubMatchCount(), 0);
}

TEST(RegexObject, CopySharesMatchesAndKeepsThemAcrossLaterRuns) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(G("[文]"), G("中文文")));
    const RegexObject copy = regex;
    ASSERT_TRUE(regex.Execute("b", "abc"));
    EXPECT_EQ(copy.MatchCount(), 2);
    EXPECT_EQ(copy.MatchText(2), G("文"));
    EXPECT_EQ(copy.ReplaceMatches("x"), G("中xx"));
    EXPECT_EQ(regex.MatchText(1), "b");
}

TEST(RegexObject, MapsMatchesFarApartAndOutOfOrder) {
    Text text;
    for (int i = 0; i < 1000; ++i) {
        text += G(i % 7 == 0 ? "中a" : "文");
    }
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("a", text, true));
    ASSERT_EQ(regex.MatchCount(), 143);
    for (int i : {143, 1, 77, 76, 78, 2, 143}) {
        EXPECT_EQ(regex.MatchText(i), "a") << i;
    }
    ASSERT_TRUE(regex.Execute(G("(文+)中"), text));
    EXPECT_EQ(regex.SubMatchText(100, 1), G("文文文文文文"));
    EXPECT_EQ(regex.SubMatchText(1, 1), G("文文文文文文"));
}

struct ReplaceRow {
    std::string pattern;
    std::string text;
    std::string replacement;
    std::string expected;
};

void PrintTo(const ReplaceRow& row, std::ostream* out) {
    *out << "/" << row.pattern << "/ -> " << row.replacement;
}

class RegexReplaceTable : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(RegexReplaceTable, ReplacesAsECMAScriptDoes) {
    const ReplaceRow& row = GetParam();
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(G(row.pattern), G(row.text)));
    EXPECT_EQ(GbkToUtf8(regex.ReplaceMatches(G(row.replacement))), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replacements, RegexReplaceTable,
    ::testing::Values(
        ReplaceRow{"(\\d+)-(\\d+)", "1-2 3-4", "$2-$1", "2-1 4-3"},
        ReplaceRow{"b", "abc", "[$&$&]", "a[bb]c"}, ReplaceRow{"b", "abc", "$$", "a$c"},
        ReplaceRow{"b", "abc", "[$`|$']", "a[a|c]c"}, ReplaceRow{"b", "abc", "$0$1$", "a$0$1$c"},
        ReplaceRow{"(b)", "abc", "$10", "ab0c"}, ReplaceRow{"(b)", "abc", "$01$00", "ab$00c"},
        ReplaceRow{"(b)", "abc", "$2$<x>", "a$2$<x>c"}, ReplaceRow{"(a)|b", "ab", "[$1]", "[a][]"},
        ReplaceRow{"x", "abc", "y", "abc"}, ReplaceRow{"中", "中文中", "国$&", "国中文国中"},
        ReplaceRow{"", "ab", "-", "-a-b-"}, ReplaceRow{"(文+)", "中文文", "<$1>", "中<文文>"}));

}  // namespace
}  // namespace velmor
