#include "core/CodePage936.h"
#include "core/Utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "../support/Iconv.h"

namespace velmor {
namespace {

using test::Iconv;

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string Utf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The character a byte string decodes to, or nothing when it stays raw bytes.
std::optional<std::string> DecodedCharacter(std::string_view bytes) {
    const std::string utf8 = GbkToUtf8(bytes);
    if (utf8 == bytes) {
        return std::nullopt;
    }
    return utf8;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

struct CharacterCase {
    std::string gbk;
    char32_t codePoint;
};

TEST(CodePage936Test, KnownCharactersConvertBothWays) {
    const std::vector<CharacterCase> cases = {
        {Bytes({0x41}), U'A'},
        {Bytes({0x80}), 0x20AC},
        {Bytes({0xD6, 0xD0}), U'中'},
        {Bytes({0xB0, 0xA1}), U'啊'},
        {Bytes({0xA1, 0xA1}), 0x3000},
        {Bytes({0xA1, 0xA4}), 0x00B7},
        {Bytes({0xA1, 0xAA}), 0x2014},
        {Bytes({0xA8, 0x44}), 0x2015},
        {Bytes({0xA3, 0xA4}), 0xFFE5},
        {Bytes({0x81, 0x40}), 0x4E02},
        {Bytes({0xFE, 0x4F}), 0xFA29},
        {Bytes({0xAA, 0xA1}), 0xE000},
        {Bytes({0xAF, 0xFE}), 0xE233},
        {Bytes({0xF8, 0xA1}), 0xE234},
        {Bytes({0xFE, 0xFE}), 0xE4C5},
        {Bytes({0xA1, 0x40}), 0xE4C6},
        {Bytes({0xA7, 0xA0}), 0xE765},
        {Bytes({0xA2, 0xAB}), 0xE766},
        {Bytes({0xFE, 0x50}), 0x2E81},
        {Bytes({0xFE, 0x51}), 0xE816},
        {Bytes({0xA8, 0xBC}), 0xE7C7},
        {Bytes({0x81, 0x30, 0x81, 0x30}), 0x0080},
        {Bytes({0x81, 0x30, 0x84, 0x36}), 0x00A5},
        {Bytes({0x81, 0x35, 0xF4, 0x37}), 0x1E3F},
        {Bytes({0x83, 0x36, 0xC7, 0x39}), 0xE76C},
        {Bytes({0x84, 0x31, 0xA4, 0x39}), 0xFFFF},
        {Bytes({0x90, 0x30, 0x81, 0x30}), 0x10000},
        {Bytes({0x94, 0x39, 0xFC, 0x36}), 0x1F600},
        {Bytes({0x95, 0x32, 0x82, 0x36}), 0x20000},
        {Bytes({0xE3, 0x32, 0x9A, 0x35}), 0x10FFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Hex(c.gbk));
        EXPECT_EQ(Hex(GbkToUtf8(c.gbk)), Hex(Utf8(c.codePoint)));
        EXPECT_EQ(Hex(Utf8ToGbk(Utf8(c.codePoint))), Hex(c.gbk));
        EXPECT_EQ(Hex(EncodeCodePoint(c.codePoint)), Hex(c.gbk));
        EXPECT_EQ(IsInCodePage936(c.codePoint), c.gbk.size() <= 2);
    }
}

struct RawCase {
    std::string gbk;
    std::string utf8;
};

TEST(CodePage936Test, BytesThatStartNoCharacterStayAsTheyAre) {
    const std::string zhong = Utf8(U'中');
    const std::vector<RawCase> cases = {
        {Bytes({0xD6}), Bytes({0xD6})},
        {"a" + Bytes({0xD6}), "a" + Bytes({0xD6})},
        {Bytes({0xD6, 0xD0, 0xD6}), zhong + Bytes({0xD6})},
        {Bytes({0xFF}), Bytes({0xFF})},
        {Bytes({0xFF, 0xD6, 0xD0}), Bytes({0xFF}) + zhong},
        {Bytes({0x81, 0x30}), Bytes({0x81, 0x30})},
        {Bytes({0x81, 0x30, 0x81}), Bytes({0x81, 0x30, 0x81})},
        {Bytes({0x81, 0x30, 0x81, 0x2F}), Bytes({0x81, 0x30, 0x81, 0x2F})},
        {Bytes({0x81, 0x30, 0x7F, 0x30}), Bytes({0x81, 0x30, 0x7F, 0x30})},
        {Bytes({0xD6, 0x0D, 0x0A}), Bytes({0xD6, 0x0D, 0x0A})},
        {Bytes({0xD6, 0x7F}), Bytes({0xD6, 0x7F})},
        {Bytes({0xD6, 0xFF}), Bytes({0xD6, 0xFF})},
        // A2E3 is GB18030's euro sign, which code page 936 writes as 0x80.
        {Bytes({0xA2, 0xE3}), Bytes({0xA2, 0xE3})},
        {Bytes({0xA2, 0xE3, 0xD6, 0xD0}), Bytes({0xA2, 0xE3}) + zhong},
        // Past U+FFFF in the BMP block, and past U+10FFFF.
        {Bytes({0x84, 0x31, 0xA5, 0x30}), Bytes({0x84, 0x31, 0xA5, 0x30})},
        {Bytes({0x8F, 0x39, 0xFE, 0x39}), Bytes({0x8F, 0x39, 0xFE, 0x39})},
        {Bytes({0xE3, 0x32, 0x9A, 0x36}), Bytes({0xE3, 0x32, 0x9A, 0x36})},
        {Bytes({0xFE, 0x39, 0xFE, 0x39}), Bytes({0xFE, 0x39, 0xFE, 0x39})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Hex(c.gbk));
        EXPECT_EQ(Hex(GbkToUtf8(c.gbk)), Hex(c.utf8));
        EXPECT_EQ(Hex(Utf8ToGbk(c.utf8)), Hex(c.gbk));
    }
}

TEST(CodePage936Test, MalformedUtf8IsCopiedUnchanged) {
    const std::vector<std::string> cases = {
        Bytes({0x80}),
        Bytes({0xBF}),
        Bytes({0xC0, 0x80}),
        Bytes({0xC1, 0xBF}),
        Bytes({0xE0, 0x80, 0x80}),
        Bytes({0xED, 0xA0, 0x80}),
        Bytes({0xED, 0xBF, 0xBF}),
        Bytes({0xF0, 0x80, 0x80, 0x80}),
        Bytes({0xF4, 0x90, 0x80, 0x80}),
        Bytes({0xF5, 0x80, 0x80, 0x80}),
        Bytes({0xE4, 0xB8}),
        Bytes({0xF0, 0x9F, 0x98}),
        Bytes({0xFE, 0xFF}),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Hex(c));
        EXPECT_EQ(Hex(Utf8ToGbk(c)), Hex(c));
        EXPECT_EQ(Hex(Utf8ToGbk("a" + c + "b")), Hex("a" + c + "b"));
    }
    EXPECT_EQ(Hex(Utf8ToGbk(Bytes({0xE4, 0xB8}) + Utf8(U'中'))),
              Hex(Bytes({0xE4, 0xB8, 0xD6, 0xD0})));
}

TEST(CodePage936Test, EncodeCodePointRejectsNonScalarValues) {
    EXPECT_EQ(EncodeCodePoint(0xD800), "");
    EXPECT_EQ(EncodeCodePoint(0xDFFF), "");
    EXPECT_EQ(EncodeCodePoint(0x110000), "");
    EXPECT_FALSE(IsInCodePage936(0xD800));
    EXPECT_FALSE(IsInCodePage936(0x110000));
    EXPECT_TRUE(IsInCodePage936(0));
}

// glibc's CP936 holds only the 21791 GBK characters. Windows code page 936 also maps the
// user-defined areas and the unassigned codes of the code space to the private-use area, and
// FE50-FEA0 to its radicals and components; for those 2149 codes (A2E3 among them) the
// GB18030 two-byte plane is the reference.
// glibc's GB18030 follows the 2022 edition, which moved these codes from the private-use
// area to standard characters; Windows code page 936 keeps the private-use values, which the
// 2000 edition also uses.
struct Revision {
    int firstCode;
    int count;
    char32_t firstPrivateUse;
};
const Revision kGb18030Revisions[] = {
    {0xA6D9, 7, 0xE78D}, {0xA6EC, 2, 0xE794}, {0xA6F3, 1, 0xE796}, {0xA8BC, 1, 0xE7C7},
    {0xFE51, 3, 0xE816}, {0xFE59, 1, 0xE81E}, {0xFE61, 1, 0xE826}, {0xFE66, 2, 0xE82B},
    {0xFE6C, 2, 0xE831}, {0xFE76, 1, 0xE83B}, {0xFE7E, 1, 0xE843}, {0xFE90, 2, 0xE854},
    {0xFEA0, 1, 0xE864},
};

std::optional<char32_t> RevisedPrivateUse(int code) {
    for (const auto& r : kGb18030Revisions) {
        if (code >= r.firstCode && code < r.firstCode + r.count) {
            return r.firstPrivateUse + (code - r.firstCode);
        }
    }
    return std::nullopt;
}

// Both sides of every revision, as UTF-8: the private-use characters we keep and the standard
// characters glibc gives those codes instead.
std::set<std::string> RevisedCharacters(Iconv& gb18030) {
    std::set<std::string> characters;
    for (const auto& r : kGb18030Revisions) {
        for (int i = 0; i < r.count; ++i) {
            const int code = r.firstCode + i;
            characters.insert(Utf8(r.firstPrivateUse + i));
            characters.insert(gb18030.Convert(Bytes({code >> 8, code & 0xFF})).value_or(""));
        }
    }
    return characters;
}

TEST(CodePage936Test, OneAndTwoByteCodesMatchIconv) {
    Iconv cp936("UTF-8", "CP936");
    Iconv gb18030("UTF-8", "GB18030");
    ASSERT_TRUE(cp936.IsOpen());
    ASSERT_TRUE(gb18030.IsOpen());

    for (int b = 0; b < 0x100; ++b) {
        const std::string bytes = Bytes({b});
        // glibc's CP936 and Windows agree that 0x80 is the euro sign; glibc's GB18030 rejects
        // it, and both reject 0x81-0xFF alone, which therefore stay raw.
        EXPECT_EQ(Hex(GbkToUtf8(bytes)), Hex(cp936.Convert(bytes).value_or(bytes)));
    }

    int mapped = 0;
    int outsideGlibcCp936 = 0;
    for (int code = 0x8100; code <= 0xFEFF; ++code) {
        const std::string bytes = Bytes({code >> 8, code & 0xFF});
        const int trail = code & 0xFF;
        if (trail < 0x40) {
            continue;  // four-byte starts, lone leads and control bytes: tested elsewhere
        }
        SCOPED_TRACE(Hex(bytes));
        const auto ours = DecodedCharacter(bytes);
        std::optional<std::string> expected;
        if (code == 0xA2E3) {
            expected = std::nullopt;
        } else if (auto revised = RevisedPrivateUse(code)) {
            expected = Utf8(*revised);
        } else if (auto glibc = cp936.Convert(bytes); glibc) {
            expected = glibc;
        } else {
            expected = gb18030.Convert(bytes);
            outsideGlibcCp936 += expected.has_value();
        }
        ASSERT_EQ(ours, expected);
        if (ours) {
            ++mapped;
            EXPECT_EQ(Hex(Utf8ToGbk(*ours)), Hex(bytes));
        }
    }
    EXPECT_EQ(mapped, 126 * 190 - 1);
    EXPECT_EQ(outsideGlibcCp936, 2149 - 1 - 25);
}

TEST(CodePage936Test, EveryFourByteCodeMatchesIconvAndRoundTrips) {
    Iconv gb18030("UTF-8", "GB18030");
    ASSERT_TRUE(gb18030.IsOpen());
    const auto revised = RevisedCharacters(gb18030);
    int decoded = 0;
    std::string bytes(4, '\0');
    for (int b1 = 0x81; b1 <= 0xFE; ++b1) {
        for (int b2 = 0x30; b2 <= 0x39; ++b2) {
            for (int b3 = 0x81; b3 <= 0xFE; ++b3) {
                for (int b4 = 0x30; b4 <= 0x39; ++b4) {
                    bytes = Bytes({b1, b2, b3, b4});
                    const std::string utf8 = GbkToUtf8(bytes);
                    ASSERT_EQ(Utf8ToGbk(utf8), bytes) << Hex(bytes);
                    if (utf8 == bytes) {
                        EXPECT_FALSE(gb18030.Convert(bytes).has_value()) << Hex(bytes);
                        continue;
                    }
                    ++decoded;
                    // Later editions gave the characters of the revisions two-byte codes and
                    // dropped or swapped their four-byte codes.
                    const auto theirs = gb18030.Convert(bytes);
                    if (theirs != utf8) {
                        EXPECT_TRUE(revised.count(utf8)) << Hex(bytes) << " " << Hex(utf8);
                    }
                }
            }
        }
    }
    EXPECT_EQ(decoded, 39420 + 0x100000);
}

TEST(CodePage936Test, EveryScalarValueRoundTripsAndMatchesIconv) {
    Iconv toCp936("CP936", "UTF-8");
    Iconv toGb18030("GB18030", "UTF-8");
    ASSERT_TRUE(toCp936.IsOpen());
    ASSERT_TRUE(toGb18030.IsOpen());
    Iconv fromGb18030("UTF-8", "GB18030");
    const auto revised = RevisedCharacters(fromGb18030);
    int twoByte = 0;
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        const std::string utf8 = Utf8(cp);
        const std::string code = EncodeCodePoint(cp);
        ASSERT_EQ(Utf8ToGbk(utf8), code) << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(GbkToUtf8(code), utf8) << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(IsInCodePage936(cp), code.size() <= 2) << std::hex << static_cast<unsigned>(cp);
        ASSERT_TRUE(code.size() == 1 || code.size() == 2 || code.size() == 4);
        // Only the euro sign has a one-byte code that the character walk of the primitives
        // takes as a lead byte: elsewhere the walk meets converted characters as they are.
        ASSERT_EQ(code.size() == 1 && static_cast<unsigned char>(code[0]) >= 0x80, cp == 0x20AC);
        twoByte += code.size() == 2;
        if (const auto theirs = toCp936.Convert(utf8); theirs && code.size() <= 2) {
            EXPECT_EQ(Hex(*theirs), Hex(code)) << std::hex << static_cast<unsigned>(cp);
        } else if (!revised.count(utf8)) {
            EXPECT_EQ(toGb18030.Convert(utf8), code) << std::hex << static_cast<unsigned>(cp);
        }
    }
    EXPECT_EQ(twoByte, 126 * 190 - 1);
}

// A lead byte with a letter as its trail is always a character, whichever case the letter is
// in: case changes of trail bytes never leave bytes that start no character.
TEST(CodePage936Test, EveryPairWithALetterTrailIsACharacter) {
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (const char* letters : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz"}) {
            for (const char* trail = letters; *trail != '\0'; ++trail) {
                const std::string pair{static_cast<char>(lead), *trail};
                std::vector<char32_t> decoded;
                ASSERT_TRUE(DecodeUtf8(GbkToUtf8(pair), decoded)) << Hex(pair);
                ASSERT_EQ(decoded.size(), 1u) << Hex(pair);
            }
        }
    }
}

// Every raw byte's neighbours lie within two bytes either side, so all three-byte strings and
// longer strings over the bytes that matter show that raw bytes never fuse into UTF-8.
TEST(CodePage936Test, EveryThreeByteStringRoundTrips) {
    std::string bytes(3, '\0');
    for (int a = 0; a < 0x100; ++a) {
        for (int b = 0; b < 0x100; ++b) {
            for (int c = 0; c < 0x100; ++c) {
                bytes[0] = static_cast<char>(a);
                bytes[1] = static_cast<char>(b);
                bytes[2] = static_cast<char>(c);
                if (Utf8ToGbk(GbkToUtf8(bytes)) != bytes) {
                    FAIL() << Hex(bytes) << " -> " << Hex(GbkToUtf8(bytes));
                }
            }
        }
    }
}

const int kSignificantBytes[] = {0x00, 0x0D, 0x2F, 0x30, 0x39, 0x3A, 0x40, 0x7E, 0x7F, 0x80, 0x81,
                                 0x84, 0x8F, 0x90, 0x9F, 0xA0, 0xA1, 0xA2, 0xBF, 0xC2, 0xD6, 0xDF,
                                 0xE0, 0xE3, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFE, 0xFF};
// The bytes raw output can begin or continue a UTF-8 sequence with.
const int kFusingBytes[] = {0x30, 0x7F, 0x80, 0x81, 0xA2, 0xBF, 0xC2, 0xE3, 0xF0, 0xFF};

void ExpectAllStringsRoundTrip(std::span<const int> alphabet, int length) {
    std::vector<int> digits(length, 0);
    std::string bytes(length, '\0');
    for (;;) {
        for (int i = 0; i < length; ++i) {
            bytes[i] = static_cast<char>(alphabet[digits[i]]);
        }
        if (Utf8ToGbk(GbkToUtf8(bytes)) != bytes) {
            FAIL() << Hex(bytes) << " -> " << Hex(GbkToUtf8(bytes));
        }
        int i = 0;
        while (i < length && ++digits[i] == static_cast<int>(alphabet.size())) {
            digits[i++] = 0;
        }
        if (i == length) {
            return;
        }
    }
}

TEST(CodePage936Test, LongerStringsOfSignificantBytesRoundTrip) {
    ExpectAllStringsRoundTrip(kSignificantBytes, 4);
    ExpectAllStringsRoundTrip(kFusingBytes, 6);
}

TEST(CodePage936Test, RandomByteStringsRoundTrip) {
    std::mt19937 random(936);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> significant(0, std::size(kSignificantBytes) - 1);
    std::uniform_int_distribution<int> length(0, 4000);
    for (int round = 0; round < 400; ++round) {
        std::string bytes(length(random), '\0');
        for (char& b : bytes) {
            b = static_cast<char>(round % 2 ? anyByte(random)
                                            : kSignificantBytes[significant(random)]);
        }
        const std::string utf8 = GbkToUtf8(bytes);
        ASSERT_EQ(Hex(Utf8ToGbk(utf8)), Hex(bytes)) << "round " << round;
    }
}

TEST(CodePage936Test, RandomScalarStringsRoundTrip) {
    std::mt19937 random(20260);
    const std::pair<char32_t, char32_t> blocks[] = {
        {0x00, 0x7F},       {0x80, 0x7FF},    {0x3000, 0x303F}, {0x4E00, 0x9FFF},
        {0xE000, 0xF8FF},   {0xFE10, 0xFFFF}, {0x20AC, 0x20AC}, {0x10000, 0x10FFFF},
        {0x1F600, 0x1F64F}, {0x0800, 0xD7FF},
    };
    std::uniform_int_distribution<int> pick(0, std::size(blocks) - 1);
    std::uniform_int_distribution<int> length(0, 2000);
    for (int round = 0; round < 300; ++round) {
        std::string utf8;
        const int count = length(random);
        for (int i = 0; i < count; ++i) {
            const auto [low, high] = blocks[pick(random)];
            utf8 += Utf8(std::uniform_int_distribution<char32_t>(low, high)(random));
        }
        const Text gbk = Utf8ToGbk(utf8);
        ASSERT_EQ(Hex(GbkToUtf8(gbk)), Hex(utf8)) << "round " << round;
        ASSERT_EQ(Utf8ToGbk(GbkToUtf8(gbk)), gbk);
    }
}

// Inputs longer than the converters' internal chunks, with items straddling every offset.
TEST(CodePage936Test, LargeInputsConvertAcrossChunks) {
    const std::vector<RawCase> items = {
        {"a", "a"},
        {"\r\n", "\r\n"},
        {Bytes({0xD6, 0xD0}), Utf8(U'中')},
        {Bytes({0xA1, 0xA4}), Utf8(0x00B7)},
        {Bytes({0x80}), Utf8(0x20AC)},
        {Bytes({0x81, 0x30, 0x84, 0x36}), Utf8(0x00A5)},
        {Bytes({0x94, 0x39, 0xFC, 0x36}), Utf8(0x1F600)},
        {Bytes({0xA2, 0xE3}), Bytes({0xA2, 0xE3})},
        {Bytes({0xFF}), Bytes({0xFF})},
        {Bytes({0xD6, 0x0D}), Bytes({0xD6, 0x0D})},
    };
    std::mt19937 random(16384);
    std::uniform_int_distribution<int> pick(0, items.size() - 1);
    for (int offset = 0; offset < 8; ++offset) {
        std::string gbk(offset, 'x');
        std::string utf8 = gbk;
        while (gbk.size() < 70000) {
            const auto& item = items[pick(random)];
            gbk += item.gbk;
            utf8 += item.utf8;
        }
        EXPECT_EQ(GbkToUtf8(gbk), utf8) << "offset " << offset;
        EXPECT_EQ(Utf8ToGbk(utf8), gbk) << "offset " << offset;
    }
}

TEST(CodePage936Test, Utf8SizeIsTheSizeOfTheConversion) {
    std::mt19937 random(8);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> significant(0, std::size(kSignificantBytes) - 1);
    for (int round = 0; round < 400; ++round) {
        std::string bytes(random() % 3000, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(round % 2 ? anyByte(random)
                                            : kSignificantBytes[significant(random)]);
        }
        ASSERT_EQ(Utf8SizeOfGbk(bytes), GbkToUtf8(bytes).size()) << Hex(bytes);
    }
    std::string pairs;
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            pairs += {static_cast<char>(lead), static_cast<char>(trail), 'x'};
        }
    }
    EXPECT_EQ(Utf8SizeOfGbk(pairs), GbkToUtf8(pairs).size());
    EXPECT_EQ(Utf8SizeOfGbk(""), 0u);
    EXPECT_EQ(Utf8SizeOfGbk("\x94\x39\xFC\x36"), 4u);
}

TEST(CodePage936Test, EmptyAndAsciiPassThrough) {
    EXPECT_EQ(GbkToUtf8(""), "");
    EXPECT_EQ(Utf8ToGbk(""), "");
    const std::string ascii = "The quick brown fox\r\njumps over 13 lazy dogs.\t~\x7F\x01";
    EXPECT_EQ(GbkToUtf8(ascii), ascii);
    EXPECT_EQ(Utf8ToGbk(ascii), ascii);
}

}  // namespace
}  // namespace velmor
