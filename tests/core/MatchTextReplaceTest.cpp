#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "../support/PassByPassReplace.h"
#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "search/MatchTextReplace.h"
#include "search/RegexMatches.h"

namespace velmor {
namespace {

using test::ReplaceOneByOne;

struct ReplaceRow {
    const char* name;
    Text text;
    std::vector<std::string_view> matchTexts;
    Text replacement;
    bool caseSensitive;
};

void PrintTo(const ReplaceRow& row, std::ostream* out) {
    *out << row.name;
}

class MatchTextReplaceTable : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(MatchTextReplaceTable, EqualsOnePassPerText) {
    const ReplaceRow& row = GetParam();
    EXPECT_EQ(ReplaceMatchTexts(row.text, row.matchTexts, row.replacement, row.caseSensitive,
                                kMaxResultBytes),
              ReplaceOneByOne(row.text, row.matchTexts, row.replacement, row.caseSensitive));
}

INSTANTIATE_TEST_SUITE_P(
    Passes, MatchTextReplaceTable,
    ::testing::Values(
        ReplaceRow{"nested numbers", "12 123 4123 312", {"12", "123", "3"}, "#", true},
        ReplaceRow{"later text first in the text", "ab ba ab", {"ba", "ab", "a"}, "-", true},
        ReplaceRow{"folded duplicates", "Ab aB ab", {"ab", "AB"}, "x", false},
        ReplaceRow{"overlapping runs", "aaaaa", {"aa", "a"}, "b", true},
        ReplaceRow{"replacement feeds a later text", "ab", {"a", "bb"}, "b", true},
        ReplaceRow{"trail byte looks like a letter",
                   "\x81"
                   "a"
                   "a\x81"
                   "b",
                   {"a", "b"},
                   "#",
                   true},
        ReplaceRow{"half a character", "\xD6\xD0\xD6", {"\xD0", "\xD6"}, "#", true},
        ReplaceRow{"lone lead byte at the end", "ab\xB0", {"b"}, "c", true},
        ReplaceRow{"replacement ends in a lead byte", "a1a2", {"1", "2"}, "\xB0", true},
        ReplaceRow{"empty texts are skipped", "abc", {"", "b", ""}, "#", true},
        // Deleting a text joins its neighbours into a text an earlier pass already removed.
        ReplaceRow{"deletion joins an earlier text", "acdb ab", {"cd", "ab"}, "", true},
        ReplaceRow{"deletion joins a later text", "ab acdb", {"ab", "cd", "ab"}, "", true},
        // Each repeat of "ab" -> "b" eats one more "a" of the run.
        ReplaceRow{"repeats shrink a run", "aaab ab ab ab", {"ab", "ab", "ab", "ab"}, "b", true},
        ReplaceRow{"repeats grow the text", "aa", {"a", "a"}, "aa", true},
        ReplaceRow{"number replaced by a digit",
                   "10 112 0 12 10",
                   {"10", "112", "0", "12", "10"},
                   "0",
                   true},
        ReplaceRow{
            "a text equal to the replacement", "0 1 0 10", {"0", "1", "0", "10", "0"}, "0", true},
        ReplaceRow{
            "folded text equal to the replacement", "A a Ab", {"A", "a", "ab", "A"}, "a", false},
        ReplaceRow{
            "feeding across characters", "\xD6\xD0\xD6\xD0", {"\xD0\xD6", "\xD6"}, "\xD6", true}));

TEST(MatchTextReplace, RefusesResultsPastTheLimit) {
    const Text text(1000, 'a');
    EXPECT_FALSE(ReplaceMatchTexts(text, {"a"}, Text(100, 'x'), true, 50000).has_value());
    EXPECT_EQ(ReplaceMatchTexts(text, {"a"}, Text(10, 'x'), true, 50000), Text(10000, 'x'));
    EXPECT_FALSE(ReplaceMatchTexts(text, {"a"}, Text(100, 'a'), true, 50000).has_value());
    // Every pass of "a" -> "aa" doubles the text: the tenth would pass the limit.
    const std::vector<std::string_view> tenPasses(10, "a");
    EXPECT_FALSE(ReplaceMatchTexts(Text(100, 'a'), tenPasses, "aa", true, 50000).has_value());
    EXPECT_EQ(ReplaceMatchTexts(Text(10, 'a'), tenPasses, "aa", true, 50000), Text(10240, 'a'));
}

// The answer is about the size after the replacement, whether that is below the text's or
// above it.
TEST(MatchTextReplace, SizeCheckAnswersForTheResult) {
    EXPECT_FALSE(ReplacedSizeExceeds("aaaa", "aa", "", true, 3));
    EXPECT_FALSE(ReplacedSizeExceeds("aaaa", "aa", "b", true, 3));
    EXPECT_TRUE(ReplacedSizeExceeds("aaaab", "aa", "a", true, 2));
    EXPECT_TRUE(ReplacedSizeExceeds("aaaa", "x", "", true, 3));
    EXPECT_FALSE(ReplacedSizeExceeds("aaaa", "a", "bb", true, 8));
    EXPECT_TRUE(ReplacedSizeExceeds("aaaa", "a", "bb", true, 7));
    EXPECT_FALSE(ReplacedSizeExceeds("aAaA", "aa", "xyz", false, 6));
    EXPECT_TRUE(ReplacedSizeExceeds("aAaA", "aa", "xyz", true, 3));
}

TEST(MatchTextReplace, CountsWhatTextReplaceReplaces) {
    struct Row {
        Text text;
        Text find;
        bool caseSensitive;
        std::size_t count;
    } rows[] = {{"aaaa", "aa", true, 2},
                {"aAaA", "aa", false, 2},
                {"aAaA", "aa", true, 0},
                {"\x81"
                 "aa",
                 "a", true, 1},
                {"\xD6\xD0\xD6\xD0", "\xD0\xD6", true, 0},
                {"\xD6\xD0\xD6", "\xD6", true, 1},
                {"", "a", true, 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(CountReplacements(row.text, row.find, row.caseSensitive), row.count)
            << row.text << " / " << row.find;
        // Each replacement one byte longer than what it replaces grows the text by the count.
        const Text longer =
            TextReplace(row.text, row.find, row.find + "x", 1, -1, row.caseSensitive);
        const Text same = TextReplace(row.text, row.find, row.find, 1, -1, row.caseSensitive);
        EXPECT_EQ(longer.size() - same.size(), row.count);
    }
}

// More distinct text than one keyword table may hold: the passes are split over several
// scans and still equal the loop.
TEST(MatchTextReplace, ManyLongTextsSplitOverScans) {
    std::mt19937 random(3);
    Text text;
    for (int k = 0; k < 1500; ++k) {
        for (int i = 0; i < 100; ++i) {
            text += static_cast<char>('a' + random() % 26);
        }
        text += ' ';
    }
    std::vector<std::string_view> matchTexts;
    for (std::size_t start = 0; start + 100 <= text.size(); start += 101) {
        matchTexts.push_back(std::string_view(text).substr(start, 100));
        // A short text inside an earlier one: replaced only where that one is not.
        matchTexts.push_back(std::string_view(text).substr(start + 40, 3));
    }
    EXPECT_EQ(ReplaceMatchTexts(text, matchTexts, "#", true, kMaxResultBytes),
              ReplaceOneByOne(text, matchTexts, "#", true));
}

// Random texts over a few bytes that build letters, digits, double-byte characters, lone
// lead bytes and trail bytes that look like letters; random lists of texts cut from them,
// repeats included; replacements that feed the texts, delete them or end in a lead byte.
TEST(MatchTextReplace, EqualsThePassByPassLoopOnRandomInput) {
    static const char* const kPieces[] = {"a",
                                          "b",
                                          "A",
                                          "0",
                                          "1",
                                          "\xD6\xD0",
                                          "\xD0",
                                          "\xB0",
                                          "\x81"
                                          "a",
                                          " "};
    std::mt19937 random(11);
    const auto pick = [&random](auto& array) { return array[random() % std::size(array)]; };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int runs = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        // Long stretches no text takes part in make each pass touch a small share of the
        // text, which is followed occurrence by occurrence rather than as a whole.
        const bool stretches = random() % 2 == 0;
        Text text;
        for (unsigned k = random() % 30; k > 0; --k) {
            text += pick(kPieces);
            if (stretches && random() % 4 == 0) {
                text += Text(2000, 'z');
            }
        }
        std::vector<std::string_view> matchTexts;
        for (unsigned k = random() % 12; k > 0 && !text.empty(); --k) {
            const std::size_t start = random() % text.size();
            const std::size_t length = 1 + random() % std::min<std::size_t>(3, text.size() - start);
            if (!matchTexts.empty() && random() % 3 == 0) {
                matchTexts.push_back(matchTexts[random() % matchTexts.size()]);
            } else {
                matchTexts.push_back(std::string_view(text).substr(start, length));
            }
        }
        Text replacement;
        for (unsigned k = random() % 3; k > 0; --k) {
            replacement += pick(kPieces);
        }
        const bool caseSensitive = random() % 2 == 0;
        ASSERT_EQ(ReplaceMatchTexts(text, matchTexts, replacement, caseSensitive, kMaxResultBytes),
                  ReplaceOneByOne(text, matchTexts, replacement, caseSensitive))
            << ::testing::PrintToString(text) << " -> " << ::testing::PrintToString(replacement);
        ++runs;
    }
    EXPECT_GT(runs, 100);
}

// Replacements that form new occurrences of later texts, around and inside themselves and
// across one another, in long texts where each pass touches few places: followed occurrence
// by occurrence, the result is still the loop's.
TEST(MatchTextReplace, FedTextsFollowedOccurrenceByOccurrenceEqualTheLoop) {
    static const char* const kPieces[] = {"a", "b", "A", "0", "1", "\xD6\xD0", "\xD0\xD6", " "};
    std::mt19937 random(17);
    const auto pick = [&random](auto& array) { return array[random() % std::size(array)]; };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int runs = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        Text text;
        std::vector<std::size_t> starts;
        for (unsigned k = 1 + random() % 60; k > 0; --k) {
            starts.push_back(text.size());
            text += pick(kPieces);
            if (random() % 6 == 0) {
                text += Text(1000 + random() % 3000, '.');
            }
        }
        std::vector<std::string_view> matchTexts;
        for (unsigned k = random() % 40; k > 0; --k) {
            const std::size_t first = random() % starts.size();
            const std::size_t last = std::min(starts.size(), first + 1 + random() % 4);
            const std::size_t end = last == starts.size() ? text.size() : starts[last];
            if (!matchTexts.empty() && random() % 4 == 0) {
                matchTexts.push_back(matchTexts[random() % matchTexts.size()]);
            } else if (end - starts[first] <= 8) {
                matchTexts.push_back(
                    std::string_view(text).substr(starts[first], end - starts[first]));
            }
        }
        Text replacement;
        for (unsigned k = random() % 4; k > 0; --k) {
            replacement += pick(kPieces);
        }
        const bool caseSensitive = random() % 2 == 0;
        ASSERT_EQ(
            ReplaceMatchTexts(text, matchTexts, replacement, caseSensitive, 1 << 20),
            test::ReplaceOneByOneWithin(text, matchTexts, replacement, caseSensitive, 1 << 20))
            << ::testing::PrintToString(matchTexts) << " -> "
            << ::testing::PrintToString(replacement);
        ++runs;
    }
    EXPECT_GT(runs, 100);
}

// The same through patterns, as the regex command lists its match texts.
TEST(MatchTextReplace, EqualsThePassByPassLoopForRandomPatterns) {
    static const char* const kPatterns[] = {"[0-9]+", "a+",    "[ab]", "b*a", "\\d",
                                            "a|ab",   "[^ ]+", "0?1",  ".",   "A"};
    static const char* const kPieces[] = {"a", "b", "0", "1", "01", "\xD6\xD0", "\xB0", " "};
    static const char* const kReplacements[] = {"", "0", "a", "b", "#", "ab", "10", "\xD6\xD0"};
    std::mt19937 random(5);
    const auto pick = [&random](auto& array) { return array[random() % std::size(array)]; };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    int runs = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const bool stretches = random() % 2 == 0;
        Text text;
        for (unsigned k = random() % 60; k > 0; --k) {
            text += pick(kPieces);
            if (stretches && random() % 8 == 0) {
                text += Text(2000, ' ');
            }
        }
        const Text pattern = pick(kPatterns);
        const Text replacement = pick(kReplacements);
        const bool caseSensitive = random() % 2 == 0;
        std::vector<std::string_view> matchTexts;
        for (const RegexMatch& match : FindAllMatches(text, pattern, caseSensitive)) {
            matchTexts.push_back(std::string_view(text).substr(match.position, match.length));
        }
        ASSERT_EQ(ReplaceMatchTexts(text, matchTexts, replacement, caseSensitive, kMaxResultBytes),
                  ReplaceOneByOne(text, matchTexts, replacement, caseSensitive))
            << pattern << " on " << ::testing::PrintToString(text) << " -> " << replacement;
        ++runs;
    }
    EXPECT_GT(runs, 50);
}

}  // namespace
}  // namespace velmor
