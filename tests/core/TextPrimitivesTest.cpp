#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "core/TextPrimitives.h"

using namespace velmor;

namespace {

struct FindCase {
    Text text;
    Text what;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(TextFind, Table) {
    const FindCase cases[] = {
        {"a\xD6\xD0"
         "b",
         "b", 1, false, 4},
        {"\xD6"
         "bb",
         "b", 1, false, 3},  // the first b is the trail byte of D6 62
        {"\xD6"
         "bb",
         "b", 2, false, 2},  // the walk starts at exactly the byte given
        {"xABC", "abc", 1, true, 2},
        {"xABC", "abc", 1, false, -1},
        {"\xA3\xC1", "\xA3\xE1", 1, true, -1},  // full-width A is not folded
        {"\xB0\x41", "\xB0\x61", 1, true, 1},   // a trail byte 0x41 folds like a letter
        {"abc", "", 1, false, 1},
        {"abc", "", 3, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", 1, false, -1},
        {"abc", "c", 0, false, 3},
        {"abc", "c", -5, false, 3},
        {"abc", "c", 4, false, -1},
        {"abcabc", "abc", 2, false, 4},
        {"abc", "abcd", 1, false, -1},
        {"ab\xD6", "\xD6", 1, false, 3},  // a lone lead byte at the end
        {"\xD6\xD6\xD6\xD6", "\xD6\xD6", 2, false, 2},
        {"\xD6\xD6\xD6", "\xD6\xD6", 2, false, 2},
        {"\xD6\xD6\xD6\xD6\xD6", "\xD6", 1, false, 1},
        {"\xB0\xA1\xD6\xD0", "\xA1\xD6", 1, false, -1},
        {"\x80"
         "A",
         "A", 1, false, -1},  // 0x80 leads a pair in the walk
        {"aAaA", "A", 1, true, 1},
        {"bbbA", "a", 1, true, 4},
        {"zz1", "1", 1, true, 3},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(TextFind(c.text, c.what, c.start, c.ignoreCase), c.expected)
            << "text=" << c.text << " what=" << c.what << " start=" << c.start;
    }
}

struct FindLastCase {
    Text text;
    Text what;
    std::optional<int> start;
    bool ignoreCase;
    int expected;
};

TEST(TextFindLast, Table) {
    const FindLastCase cases[] = {
        {"abab", "ab", 4, false, 1},
        {"abab", "ab", 5, false, 3},
        {"abab", "ab", std::nullopt, false, 3},
        {"abab", "ab", 100, false, 3},
        {"abab", "ab", 1, false, -1},
        {"abab", "ab", -3, false, -1},
        {"abab", "", 2, false, 1},
        {"abab", "", 1, false, -1},
        {"", "", std::nullopt, false, -1},
        {"ABab", "ab", std::nullopt, true, 3},
        {"abAB", "ab", std::nullopt, false, 1},
        {"\xD6"
         "bb",
         "b", std::nullopt, false, 3},
        {"\xD6"
         "b",
         "b", std::nullopt, false, -1},
        {"C:\\dir\\file.txt", "\\", std::nullopt, false, 7},
        {"\xB5\\a\\", "\\", std::nullopt, false, 4},  // B5 5C: the trail byte is a backslash
        {"\xB5\\a\\", "\\", 4, false, -1},
    };
    for (const FindLastCase& c : cases) {
        EXPECT_EQ(TextFindLast(c.text, c.what, c.start, c.ignoreCase), c.expected)
            << "text=" << c.text << " what=" << c.what;
    }
}

struct ReplaceCase {
    Text text;
    Text find;
    Text replacement;
    int start;
    int count;
    bool caseSensitive;
    Text expected;
};

TEST(TextReplace, Table) {
    const ReplaceCase cases[] = {
        {"a,b,,c", ",", "", 1, -1, true, "abc"},
        {"a,b,,c", ",", "", 1, 1, true, "ab,,c"},
        {"a,b,,c", ",", "", 3, -1, true, "a,bc"},
        {"a,b,,c", ",", "", 1, 0, true, "a,b,,c"},
        {"a,b,,c", ",", "", 1, -7, true, "abc"},
        {"a,b,,c", ",", "", 0, -1, true, "abc"},
        {"a,b,,c", ",", "", 7, -1, true, "a,b,,c"},
        {"a,b,,c", ",", "", 6, -1, true, "a,b,,c"},
        {"a,b,,c", "", "x", 1, -1, true, "a,b,,c"},
        {"", "a", "x", 1, -1, true, ""},
        {"aa", "a", "aa", 1, -1, true, "aaaa"},
        {"aaa", "aa", "b", 1, -1, true, "ba"},
        {"AbaB", "ab", "x", 1, -1, false, "xx"},
        {"AbaB", "ab", "x", 1, -1, true, "AbaB"},
        {"\xD6"
         "bb",
         "b", "x", 1, -1, true,
         "\xD6"
         "bx"},
        {"\xD6"
         "bb",
         "b", "x", 2, -1, true,
         "\xD6"
         "xx"},
        {"\xB0\x41", "a", "x", 1, -1, false, "\xB0\x41"},  // trail bytes are never replaced
        // A one-byte find scans to the end, where a lone lead byte is lost.
        {"ab\xD6", "a", "x", 1, -1, true, "xb"},
        {"ab\xD6", "\xD6", "x", 1, -1, true, "abx"},
        {"ab\xD6", "ab", "x", 1, -1, true, "x\xD6"},
        {"ab\xD6", "a", "x", 1, 1, true, "xb\xD6"},
        {"a\xD6\xD0\xD6", "q", "x", 1, -1, true, "a\xD6\xD0"},
        {"a\xD6\xD0\xD6", "q", "x", 2, -1, true, "a\xD6\xD0"},
        {"a\xD6\xD0\xD6", "q", "x", 3, -1, true, "a\xD6\xD0\xD6"},  // D0 D6 is one character
        {"\xD6\xD0\xD6\xD0", "\xD0\xD6", "x", 1, -1, true, "\xD6\xD0\xD6\xD0"},
        {"\xD6\xD0\xD6\xD0", "\xD0\xD6", "x", 2, -1, true, "\xD6x\xD0"},
        {"abc", "abc", "", 1, -1, true, ""},
    };
    for (const ReplaceCase& c : cases) {
        EXPECT_EQ(TextReplace(c.text, c.find, c.replacement, c.start, c.count, c.caseSensitive),
                  c.expected)
            << "text=" << c.text << " find=" << c.find << " start=" << c.start
            << " count=" << c.count;
    }
}

TEST(TextReplace, DefaultsFoldCaseAndReplaceAllByNothing) {
    EXPECT_EQ(TextReplace("aXbx", "x"), "ab");
}

struct SplitCase {
    Text text;
    Text separator;
    std::optional<int> maxCount;
    TextList expected;
};

TEST(TextSplit, Table) {
    const SplitCase cases[] = {
        {"a,,b,", ",", std::nullopt, {"a", "", "b"}},
        {",a", ",", std::nullopt, {"", "a"}},
        {"", ",", std::nullopt, {}},
        {"a,b,c", ",", 2, {"a", "b"}},
        {"a,b,c", ",", 3, {"a", "b", "c"}},
        {"a,b,c", ",", 0, {}},
        {"a,b,c", ",", -4, {}},
        {"a,b", ",", 1, {"a"}},
        {"a,b", "", std::nullopt, {"a,b"}},
        {",", ",", std::nullopt, {""}},
        {",,", ",", std::nullopt, {"", ""}},
        {"a\r\nb\r\n\r\nc", "\r\n", std::nullopt, {"a", "b", "", "c"}},
        {"\xB0,\xB0,", ",", std::nullopt, {"\xB0,\xB0,"}},  // B0 2C is one character
        {"x,\xB0", ",", std::nullopt, {"x", "\xB0"}},
        {"aAbA", "a", std::nullopt, {"", "AbA"}},  // separators match exactly
        {"abcab", "ab", std::nullopt, {"", "c"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(TextSplit(c.text, c.separator, c.maxCount), c.expected) << "text=" << c.text;
    }
    EXPECT_EQ(TextSplit("a,b"), (TextList{"a", "b"}));
}

TEST(TextCounting, CutsBytes) {
    const Text text =
        "a\xD6\xD0"
        "b";
    EXPECT_EQ(TextLen(text), 4);
    EXPECT_EQ(TextLen(""), 0);
    EXPECT_EQ(TextLeft(text, 2), "a\xD6");
    EXPECT_EQ(TextLeft(text, 0), "");
    EXPECT_EQ(TextLeft(text, -1), "");
    EXPECT_EQ(TextLeft(text, 99), text);
    EXPECT_EQ(TextRight(text, 2),
              "\xD0"
              "b");
    EXPECT_EQ(TextRight(text, 0), "");
    EXPECT_EQ(TextRight(text, 99), text);
    EXPECT_EQ(TextMid(text, 2, 2), "\xD6\xD0");
    EXPECT_EQ(TextMid(text, 0, 2), "");
    EXPECT_EQ(TextMid(text, 4, 9), "b");
    EXPECT_EQ(TextMid(text, 5, 1), "");
    EXPECT_EQ(TextMid(text, 1, 0), "");
    EXPECT_EQ(TextMid(text, 1, -3), "");
    EXPECT_EQ(TextConcat({"a", "", "\xD6\xD0", "b"}), text);
    EXPECT_EQ(TextSpaces(3), "   ");
    EXPECT_EQ(TextSpaces(0), "");
    EXPECT_EQ(TextSpaces(-2), "");
    EXPECT_EQ(TextChar(65), "A");
    EXPECT_EQ(TextChar(0xD6), "\xD6");
    EXPECT_EQ(TextChar(0), "");
    EXPECT_EQ(TextChar(256), "");
}

TEST(TextCodeAt, SignedBytesAndOutOfRange) {
    const Text text =
        "\xD6\xD0"
        "A";
    EXPECT_EQ(TextCodeAt(text), -42);
    EXPECT_EQ(TextCodeAt(text, 2), -48);
    EXPECT_EQ(TextCodeAt(text, 3), 65);
    EXPECT_EQ(TextCodeAt(text, 4), 0);
    EXPECT_EQ(TextCodeAt(text, 5), 0);
    EXPECT_EQ(TextCodeAt(text, 0), 0);
    EXPECT_EQ(TextCodeAt("", 1), 0);
}

TEST(TextCompare, OrdersBytesAndFoldsOnlyOneByteLetters) {
    EXPECT_EQ(TextCompare("abc", "abc", true), 0);
    EXPECT_LT(TextCompare("abc", "abd", true), 0);
    EXPECT_GT(TextCompare("abd", "abc", true), 0);
    EXPECT_LT(TextCompare("ab", "abc", true), 0);
    EXPECT_GT(TextCompare("abc", "ab", true), 0);
    EXPECT_LT(TextCompare("ABC", "abc", true), 0);
    EXPECT_EQ(TextCompare("ABC", "abc", false), 0);
    EXPECT_EQ(TextCompare("C:\\Dir\\A.TXT", "c:\\dir\\a.txt", false), 0);
    EXPECT_GT(TextCompare("\xD6\xD0", "a", true), 0);  // bytes compare unsigned
    // Trail bytes 0x41 and 0x61 are different characters even without case.
    EXPECT_NE(TextCompare("\xB0\x41", "\xB0\x61", false), 0);
    EXPECT_EQ(TextCompare("\xB0\x41"
                          "A",
                          "\xB0\x41"
                          "a",
                          false),
              0);
    EXPECT_EQ(TextCompare("", "", false), 0);
}

struct MapCase {
    Text input;
    Text expected;
};

TEST(TextUpperLower, OnlyOneByteLetters) {
    EXPECT_EQ(TextUpper("abz{\xB0\x61\xA3\xE1"
                        "q"),
              "ABZ{\xB0\x61\xA3\xE1Q");
    EXPECT_EQ(TextLower("ABZ@\xB0\x41\xA3\xC1"
                        "Q"),
              "abz@\xB0\x41\xA3\xC1q");
    EXPECT_EQ(TextUpper("a\xD6"), "A\xD6");  // a lone lead byte at the end stays
    EXPECT_EQ(TextLower("A\xD6"), "a\xD6");
    EXPECT_EQ(TextUpper(""), "");
}

TEST(TextFullWidth, Table) {
    const MapCase cases[] = {
        {" ", "\xA1\xA1"},
        {"A", "\xA3\xC1"},
        {"!", "\xA3\xA1"},
        {"}", "\xA3\xFD"},
        {"~", "\xA1\xAB"},
        {"\t\r\n\x7F\x01", "\t\r\n\x7F\x01"},
        {"\xD6\xD0"
         "1",
         "\xD6\xD0\xA3\xB1"},
        {"\xB0\x41", "\xB0\x41"},
        {"a\xD6", "\xA3\xE1"},
        {"", ""},
    };
    for (const MapCase& c : cases) {
        EXPECT_EQ(TextFullWidth(c.input), c.expected) << c.input;
    }
}

TEST(TextHalfWidth, Table) {
    const MapCase cases[] = {
        {"\xA1\xA1", " "},
        {"\xA1\xAB", "~"},
        {"\xA1\xEE\xA1\xEF", "**"},  // ☆★
        {"\xA3\xA1", "!"},
        {"\xA3\xC1", "A"},
        {"\xA3\xFE", "~"},
        {"\xA3\xA0", "\xA3\xA0"},
        {"\xD6\xD0"
         "a",
         "\xD6\xD0"
         "a"},
        {"\xB0\xA3\xC1\xB0", "\xB0\xA3\xC1\xB0"},  // B0 A3 and C1 B0 are characters
        {"1\xA3", "1"},
        {"\t\r\n", "\t\r\n"},
    };
    for (const MapCase& c : cases) {
        EXPECT_EQ(TextHalfWidth(c.input), c.expected) << c.input;
    }
}

TEST(TextHalfWidth, UndoesFullWidthForPrintableAscii) {
    Text ascii;
    for (int c = 0x20; c <= 0x7E; ++c) {
        ascii += static_cast<char>(c);
    }
    EXPECT_EQ(TextHalfWidth(TextFullWidth(ascii)), ascii);
}

struct TrimCase {
    Text input;
    Text left;
    Text right;
    Text both;
    Text stripped;
};

TEST(TextTrim, Table) {
    const TrimCase cases[] = {
        {"  a b  ", "a b  ", "  a b", "a b", "ab"},
        {"\xA1\xA1 a\xA1\xA1", "a\xA1\xA1", "\xA1\xA1 a", "a", "a"},
        {"\t a \t", "\t a \t", "\t a \t", "\t a \t", "\ta\t"},
        {"", "", "", "", ""},
        {"   ", "", "", "", ""},
        // A trailing lone lead byte is dropped; spaces before it stay for TextTrimRight.
        {" a  \xD6", "a  ", " a  ", "a  ", "a"},
        {"  \xD6", "", "  ", "", ""},
        {"\xB0\xA1\xA1", "\xB0\xA1", "\xB0\xA1", "\xB0\xA1", "\xB0\xA1"},
        {"\xB0\xA1\xA1\xA1", "\xB0\xA1\xA1\xA1", "\xB0\xA1", "\xB0\xA1", "\xB0\xA1"},
        {"x\xA1", "x", "x", "x", "x"},
    };
    for (const TrimCase& c : cases) {
        EXPECT_EQ(TextTrimLeft(c.input), c.left) << c.input;
        EXPECT_EQ(TextTrimRight(c.input), c.right) << c.input;
        EXPECT_EQ(TextTrim(c.input), c.both) << c.input;
        EXPECT_EQ(TextStripSpaces(c.input), c.stripped) << c.input;
    }
}

// The primitives' definitions, walked one character at a time, to check the fast searches.
int ReferenceFind(const Text& text, const Text& what, int start, bool ignoreCase) {
    const int length = static_cast<int>(text.size());
    const int s = start < 1 ? 1 : start;
    if (s > length) {
        return -1;
    }
    if (what.empty()) {
        return 1;
    }
    const int m = static_cast<int>(what.size());
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (int p = s - 1; p + m <= length;) {
        bool match = true;
        for (int k = 0; k < m && match; ++k) {
            match = ignoreCase ? fold(text[p + k]) == fold(what[k]) : text[p + k] == what[k];
        }
        if (match) {
            return p + 1;
        }
        p += static_cast<unsigned char>(text[p]) >= 0x80 ? 2 : 1;
    }
    return -1;
}

Text ReferenceReplace(const Text& text, const Text& find, const Text& replacement, int start,
                      int count, bool caseSensitive) {
    const int length = static_cast<int>(text.size());
    if (text.empty() || find.empty() || start > length || count == 0) {
        return text;
    }
    const int m = static_cast<int>(find.size());
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    int p = (start < 1 ? 1 : start) - 1;
    Text result = text.substr(0, p);
    int done = 0;
    while (p + m <= length && (count < 0 || done < count)) {
        bool match = true;
        for (int k = 0; k < m && match; ++k) {
            match = caseSensitive ? text[p + k] == find[k] : fold(text[p + k]) == fold(find[k]);
        }
        if (match) {
            result += replacement;
            p += m;
            ++done;
        } else if (static_cast<unsigned char>(text[p]) >= 0x80) {
            if (p + 1 < length) {
                result += text.substr(p, 2);
            }
            p += 2;
        } else {
            result += text[p++];
        }
    }
    if (p < length) {
        result += text.substr(p);
    }
    return result;
}

TEST(TextSearch, AgreesWithTheCharacterWalkOnRandomTexts) {
    std::mt19937 rng(12345);
    const char alphabet[] = {'a', 'A', 'b', ',', '\xB0', '\xD6', '\xA1', '\x61', '\x41'};
    auto randomText = [&](int maxLength) {
        Text t;
        const int n = static_cast<int>(rng() % (maxLength + 1));
        for (int i = 0; i < n; ++i) {
            t += alphabet[rng() % sizeof alphabet];
        }
        return t;
    };
    for (int round = 0; round < 20000; ++round) {
        const Text text = randomText(14);
        Text what = randomText(3);
        const int start = static_cast<int>(rng() % 18) - 2;
        const bool flag = rng() % 2 == 0;
        ASSERT_EQ(TextFind(text, what, start, flag), ReferenceFind(text, what, start, flag))
            << "text=" << text << " what=" << what << " start=" << start;
        if (!what.empty()) {
            // The walk for TextFindLast starts at the first byte.
            int expectedLast = -1;
            const int range = start <= 1 ? 0 : std::min<int>(start - 1, text.size());
            for (int p = 0; p + static_cast<int>(what.size()) <= range;) {
                if (ReferenceFind(text.substr(0, range), what, p + 1, flag) == p + 1) {
                    expectedLast = p + 1;
                }
                p += static_cast<unsigned char>(text[p]) >= 0x80 ? 2 : 1;
            }
            ASSERT_EQ(TextFindLast(text, what, start, flag), expectedLast)
                << "text=" << text << " what=" << what << " start=" << start;
        }
        const Text replacement = randomText(2);
        const int count = static_cast<int>(rng() % 4) - 1;
        ASSERT_EQ(TextReplace(text, what, replacement, start, count, flag),
                  ReferenceReplace(text, what, replacement, start, count, flag))
            << "text=" << text << " what=" << what << " start=" << start << " count=" << count;
    }
}

TEST(TextSearch, LongTextsAreSearchedWithoutMissingMatches) {
    Text text;
    for (int i = 0; i < 100000; ++i) {
        text += "\xD6\xD0";
    }
    text += "\xD0\xD6";  // would match at a trail byte all along the run
    text += "a";
    EXPECT_EQ(TextFind(text, "\xD0\xD6"), 200001);
    EXPECT_EQ(TextFind(text, "A", 1, true), 200003);
    EXPECT_EQ(TextFindLast(text, "\xD6\xD0"), 199999);
    EXPECT_EQ(TextSplit(text, "\xD0\xD6").size(), 2u);
    EXPECT_EQ(TextReplace(text, "\xD0\xD6", "x"), text.substr(0, 200000) + "xa");
}

}  // namespace
