#include <gtest/gtest.h>

#include <boost/regex.hpp>
#include <chrono>
#include <random>
#include <string>

#include "../support/PassByPassReplace.h"
#include "core/MemoryEditor.h"
#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "search/MatchTextReplace.h"
#include "search/RegexDialog.h"
#include "search/RegexMatches.h"

namespace velmor {
namespace {

struct Row {
    const char* name;
    Text input;
    Text pattern;
    Text replacement;
    bool caseSensitive;
    Text replaced;   // under "替换"
    Text extracted;  // under "提取"
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

Text RunAction(const Text& input, const Row& row, bool extract, MemoryEditor* inspect = nullptr) {
    MemoryEditor editor(input);
    Services services;
    CommandContext context{editor, services};
    RunRegexAction(context, row.pattern, row.replacement, row.caseSensitive, extract);
    if (inspect != nullptr) {
        *inspect = editor;
    }
    return editor.ReadText();
}

class RegexActionTable : public ::testing::TestWithParam<Row> {};

TEST_P(RegexActionTable, ReplacesAndExtracts) {
    const Row& row = GetParam();
    MemoryEditor editor;
    EXPECT_EQ(RunAction(row.input, row, false, &editor), row.replaced);
    EXPECT_EQ(editor.ChangeNotifications(), 1);
    EXPECT_EQ(RunAction(row.input, row, true, &editor), row.extracted);
    EXPECT_EQ(editor.ChangeNotifications(), 1);
    EXPECT_TRUE(editor.Messages().empty());
}

const Text kZhong = "\xD6\xD0";  // 中
const Text kWen = "\xCE\xC4";    // 文

INSTANTIATE_TEST_SUITE_P(
    Matching, RegexActionTable,
    ::testing::Values(
        Row{"digits", "a12b3", "[0-9]+", "#", false, "a#b#", "12\r\n3\r\n"},
        Row{"plus", "abbcb", "b+", "x", false, "axcx", "bb\r\nb\r\n"},
        Row{"caret starts every rest", "aaa", "^a", "b", false, "bbb", "a\r\na\r\na\r\n"},
        Row{"same text twice doubles again", "aa", "a", "aa", false, "aaaaaaaa", "a\r\na\r\n"},
        Row{"empty match at start stops", "abc", "x*", "#", false, "abc", "\r\n"},
        Row{"does not compile", "abc", "(", "#", false, "abc", ""},
        Row{"no match", "abc", "z", "#", false, "abc", ""},
        Row{"icase by default", "ABC", "abc", "x", false, "x", "ABC\r\n"},
        Row{"case-sensitive when asked", "ABC", "abc", "x", true, "ABC", ""},
        // The text of a match is replaced wherever it occurs, also where the pattern would
        // not match: "12" is replaced inside "123" before "123" comes up.
        Row{"shorter match first", "12 123", "[0-9]+", "#", false, "# #3", "12\r\n123\r\n"},
        // An empty match after position 0: recorded, then the rest from that place starts
        // with the same empty match, which ends the search.
        Row{"empty match later", "ab", "(?=b)", "#", false, "ab", "\r\n\r\n"},
        Row{"dot takes line breaks", "a\r\nb", "a.", "", false, "\nb", "a\r\r\n"},
        Row{"dollar before CR LF", "ab\r\ncd", "[a-z]$", "#", false, "a#\r\nc#", "b\r\nd\r\n"},
        // A CR LF pair is one line break: "$" stands before the CR, never between the two.
        Row{"dollar not inside CR LF", "a\r\nb", "$\n", "X", false, "a\r\nb", ""},
        Row{"not at a line end inside CR LF", "a\r\nb", "(?!$)\n", "X", false, "a\rXb", "\n\r\n"},
        Row{"dollar then CR LF", "a\r\nb", "$\r\n", "-", false, "a-b", "\r\n\r\n"},
        Row{"look-behind sees the bytes before", "xab", "(?<=a)b", "#", false, "xa#", "b\r\n"},
        Row{"word boundary before a symbol", "a-b", "\\b-", "#", false, "a#b", "-\r\n"},
        Row{"caret after LF, CR and FF", "x\ny\rz\fw", "^[a-z]", "#", false, "#\n#\r#\f#",
            "x\r\ny\r\nz\r\nw\r\n"},
        // Bytes, not characters: a match inside a character is found and extracted, but
        // TextReplace only replaces at character starts.
        Row{"trail byte match", kZhong + kZhong, "\xD0", "#", false, kZhong + kZhong,
            "\xD0\r\n\xD0\r\n"},
        Row{"Chinese literal", "a" + kZhong + "b" + kZhong, kZhong, kWen, false,
            "a" + kWen + "b" + kWen, kZhong + "\r\n" + kZhong + "\r\n"},
        Row{"missing group reference", "aa", "(a)\\2", "#", false, "aa", ""},
        Row{"backslash at end", "a\\", "a\\", "#", false, "a\\", ""},
        Row{"lone lead byte pattern", "a\xB0", "\xB0", "#", false, "a#", "\xB0\r\n"},
        Row{"empty pattern", "abc", "", "#", false, "abc", "\r\n"}));

TEST(RegexMatches, PathologicalPatternEndsAsNoMoreMatches) {
    const Text text(3000, 'a');
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(FindAllMatches(text, "(a*)*b", true).empty());
    EXPECT_TRUE(FindAllMatches(text + "c", "(a|aa)*c", true).size() <= 1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

// The engine keeps its backtracking state on the heap with a cap: a long run ends the search
// (as "no more matches") instead of overflowing the stack.
TEST(RegexMatches, DeepBacktrackingDoesNotOverflowTheStack) {
    Text nested;
    for (int k = 0; k < 2000; ++k) {
        nested += "(?:a";
    }
    for (int k = 0; k < 2000; ++k) {
        nested += ")?";
    }
    for (const Text& pattern : {nested, Text("(a|b)*"), Text("(?:(a)|b)*c")}) {
        EXPECT_LE(FindAllMatches(Text(1000000, 'a'), pattern, true).size(), 1U) << pattern;
    }
    // The whole run, then the empty rest's empty match, which ends the list.
    EXPECT_EQ(FindAllMatches(Text(1000, 'a'), "(a|b)*", true).size(), 2U);
}

TEST(RegexAction, MillionMatchesExtractInOneWrite) {
    Text text;
    for (int k = 0; k < 1000000; ++k) {
        text += "a" + std::to_string(k % 1000) + " ";
    }
    MemoryEditor editor(text);
    Services services;
    CommandContext context{editor, services};
    RunRegexAction(context, "[0-9]+", "", false, true);
    EXPECT_EQ(editor.ChangeNotifications(), 1);
    const Text result = editor.ReadText();
    EXPECT_EQ(result.substr(0, 12), "0\r\n1\r\n2\r\n3\r\n");
    EXPECT_EQ(std::count(result.begin(), result.end(), '\n'), 1000000);
}

// The find-all loop straight on the engine, without skipping ahead to possible first bytes.
std::vector<RegexMatch> ReferenceMatches(const Text& text, const Text& pattern,
                                         bool caseSensitive) {
    std::vector<RegexMatch> matches;
    try {
        const boost::regex regex(
            pattern, caseSensitive ? boost::regex::perl : boost::regex::perl | boost::regex::icase);
        const char* rest = text.data();
        const char* const end = rest + text.size();
        boost::cmatch found;
        while (boost::regex_search(rest, end, found, regex)) {
            matches.push_back({static_cast<std::size_t>(found[0].first - text.data()),
                               static_cast<std::size_t>(found[0].second - found[0].first)});
            if (found[0].second == rest) {
                break;
            }
            rest = found[0].second;
        }
    } catch (const std::exception&) {
    }
    return matches;
}

// Random patterns over a small alphabet against random texts: no crash, no hang, the matches
// are the engine's own, the one-scan replacement equals the pass-by-pass one and extraction
// lists exactly the matches.
TEST(RegexFuzz, RandomPatternsOnRandomTexts) {
    static const char* const kTokens[] = {
        "a",   "b",      "\xD6\xD0", "\xB0", ".",  "*",      "+",     "?",    "*?",  "|",     "(",
        ")",   "[",      "]",        "^",    "$",  "\\",     "\\d",   "\\w",  "{2}", "{1,",   "\\1",
        "(?=", "(?<=a)", "[^a]",     "\r\n", "x*", "[0-9]+", "[a-z]", "\\s+", "A",   "(a|b)",
    };
    static const char* const kPieces[] = {"a",
                                          "b",
                                          "A",
                                          "1",
                                          "\xD6\xD0",
                                          "\xB0",
                                          "\r\n",
                                          "\r",
                                          "\n",
                                          " ",
                                          "\x81"
                                          "a"};
    std::mt19937 random(7);
    const auto pick = [&random](auto& array) { return array[random() % std::size(array)]; };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int runs = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        Text pattern;
        for (unsigned k = random() % 6; k > 0; --k) {
            pattern += pick(kTokens);
        }
        Text text;
        for (unsigned k = random() % 40; k > 0; --k) {
            text += pick(kPieces);
        }
        const Text replacement = random() % 3 == 0 ? Text(pick(kPieces)) : Text("#");
        const bool caseSensitive = random() % 2 == 0;
        const std::vector<RegexMatch> matches = FindAllMatches(text, pattern, caseSensitive);
        const std::vector<RegexMatch> reference = ReferenceMatches(text, pattern, caseSensitive);
        ASSERT_EQ(matches.size(), reference.size()) << pattern;
        for (std::size_t k = 0; k < matches.size(); ++k) {
            ASSERT_EQ(matches[k].position, reference[k].position) << pattern;
            ASSERT_EQ(matches[k].length, reference[k].length) << pattern;
        }
        Text lines;
        std::vector<std::string_view> matchTexts;
        std::size_t previousEnd = 0;
        for (const RegexMatch& match : matches) {
            ASSERT_GE(match.position, previousEnd) << pattern;
            ASSERT_LE(match.position + match.length, text.size());
            previousEnd = match.position + match.length;
            lines += text.substr(match.position, match.length) + "\r\n";
            matchTexts.push_back(std::string_view(text).substr(match.position, match.length));
        }
        const Row row{"", text, pattern, replacement, caseSensitive, "", ""};
        ASSERT_EQ(RunAction(text, row, true), lines) << pattern;
        ASSERT_EQ(RunAction(text, row, false),
                  test::ReplaceOneByOne(text, matchTexts, replacement, caseSensitive))
            << pattern << " on " << ::testing::PrintToString(text);
        ++runs;
    }
    EXPECT_GT(runs, 100);
}

}  // namespace
}  // namespace velmor
