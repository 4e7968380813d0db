#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "search/RegexObject.h"

// Hostile patterns and texts: every call must come back, without a crash, in bounded time.
namespace velmor {
namespace {

TEST(RegexFuzz, CatastrophicPatternsEndInsteadOfHanging) {
    const Text run(20000, 'a');
    for (const char* pattern :
         {"(a*)*b", "(a|a)*b", "(a+)+$", "(.*)*x", "(a|aa)+c", "(\\w+\\s?)+!"}) {
        const auto start = std::chrono::steady_clock::now();
        RegexObject regex;
        regex.Execute(pattern, run);
        EXPECT_LE(regex.MatchCount(), 1) << pattern;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << pattern;
    }
}

TEST(RegexFuzz, DeepAndLongPatternsAreHandled) {
    RegexObject regex;
    EXPECT_FALSE(regex.Execute(std::string(100000, '(') + std::string(100000, ')'), "a"));
    EXPECT_FALSE(regex.Execute(std::string(100000, '['), "a"));
    EXPECT_TRUE(regex.Execute(std::string(200, '(') + "a" + std::string(200, ')'), "aa"));
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_TRUE(regex.Execute(Text(10000, 'a'), Text(20000, 'a')));
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_TRUE(regex.Execute("a{0,2147483647}b", "aab"));
    EXPECT_EQ(regex.MatchText(1), "aab");
    EXPECT_TRUE(regex.Execute("(x)\\99999999999999999999", "x\x01"));
}

TEST(RegexFuzz, RandomBytePatternsOverRandomTexts) {
    // Pattern pieces that stress the parser, glued at random, with random bytes between.
    const std::vector<std::string> pieces = {
        "(",        ")",     "[",    "]",    "{",   "}",     "{2,1}",  "{1,", "\\",  "\\1",
        "\\2",      "\\9",   "\\0",  "\\c",  "\\x", "\\u",   "\\u4e2", "*",   "+",   "?",
        "*?",       "|",     "^",    "$",    ".",   "(?",    "(?:",    "(?=", "(?!", "(?<=",
        "(?<!",     "(?<n>", "[^",   "a-",   "-",   "\\b",   "\\B",    "\\d", "\\W", "a",
        "\xD6\xD0", "\x81",  "\xFF", "\x80", "$1",  "\\k<n>"};
    std::mt19937 random(7);
    const auto start = std::chrono::steady_clock::now();
    int runs = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1500)) {
        std::string pattern;
        for (int n = static_cast<int>(random() % 12); n > 0; --n) {
            if (random() % 5 == 0) {
                pattern += static_cast<char>(1 + random() % 255);
            } else {
                pattern += pieces[random() % pieces.size()];
            }
        }
        Text text;
        for (int n = static_cast<int>(random() % 40); n > 0; --n) {
            text += static_cast<char>(1 + random() % 255);
        }
        RegexObject regex;
        const bool compiled =
            regex.Execute(pattern, text, random() % 2, random() % 2, random() % 2);
        if (!compiled) {
            EXPECT_EQ(regex.MatchCount(), 0);
        }
        std::size_t total = 0;
        for (int i = 0; i <= regex.MatchCount() + 1; ++i) {
            total += regex.MatchText(i).size();
            total += regex.SubMatchText(i, 1).size();
        }
        EXPECT_LE(total, (text.size() + 1) * static_cast<std::size_t>(regex.MatchCount() + 2));
        const Text replaced = regex.ReplaceMatches("[$&$1$`$'$$]");
        if (!compiled) {
            EXPECT_EQ(replaced, "");
        } else if (!text.empty()) {
            EXPECT_NE(replaced, "");
        }
        ++runs;
    }
    EXPECT_GT(runs, 200);
}

}  // namespace
}  // namespace velmor
