#include <gtest/gtest.h>

#include <ostream>

#include "codec/EscapeConversion.h"
#include "core/CodePage936.h"

namespace velmor {
namespace {

struct Row {
    const char* conversion;
    Text input;
    Text expected;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.conversion << " of " << ::testing::PrintToString(row.input);
}

const Text kZhong = "\xD6\xD0";                      // 中
const Text kGrinning = EncodeCodePoint(0x1F600);     // a four-byte code
const Text kNoncharacter = EncodeCodePoint(0xFFFF);  // a four-byte code of the BMP

class EscapeTable : public ::testing::TestWithParam<Row> {};

TEST_P(EscapeTable, ConvertsAsTheScriptFunctionWould) {
    const Row& row = GetParam();
    EXPECT_EQ(EscapeConvert(row.input, row.conversion), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ToUnicodeEscapes, EscapeTable,
    ::testing::Values(Row{"to16on", "AB", "\\u0041\\u0042"}, Row{"to16on", kZhong, "\\u4e2d"},
                      Row{"to16on", "\r\n", "\\u000d\\u000a"}, Row{"to16on", "", "\\u"},
                      Row{"to16on", kGrinning, "\\ud83d\\ude00"}, Row{"to16on", "\x80", "\\u20ac"},
                      // A lone lead byte is no character; it travels as a code unit of its own.
                      Row{"to16on", "a\x81", "\\u0061\\udc81"}));

INSTANTIATE_TEST_SUITE_P(
    FromUnicodeEscapes, EscapeTable,
    ::testing::Values(Row{"to16un", "\\u", "%u"}, Row{"to16un", "50%20off", "50 off"},
                      Row{"to16un", "\\dir", "%dir"}, Row{"to16un", "\\41", "A"},
                      Row{"to16un", "\\u4e2d\\u4E2D%u4e2d", kZhong + kZhong + kZhong},
                      Row{"to16un", "\\u000d\\u000a", "\r\n"}, Row{"to16un", "%u12%4", "%u12%4"},
                      Row{"to16un", "a%00b", "a"}, Row{"to16un", "%u0000", ""},
                      Row{"to16un", "\\ud83d\\ude00", kGrinning}, Row{"to16un", "\\ud83dA", "?A"},
                      Row{"to16un", "\\ude00", "?"}, Row{"to16un", "%D6", EncodeCodePoint(0xD6)},
                      Row{"to16un", "\\udc81", "\x81"}, Row{"to16un", "\\uffff", kNoncharacter},
                      // A "\" that is the trail byte of a character is no backslash.
                      Row{"to16un", "\x95\\41", "\x95\\41"},
                      Row{"to16un", "\x95\x95\\41",
                          "\x95\x95"
                          "A"},
                      // Decoded raw bytes join the raw byte before them into one character.
                      Row{"to16un", "\xE4%uDCB8%uDCAD", kZhong}));

INSTANTIATE_TEST_SUITE_P(ToReferences, EscapeTable,
                         ::testing::Values(Row{"to10on", "AB", "&#65;&#66;"},
                                           Row{"to10on", kZhong, "&#20013;"},
                                           Row{"to10on", "", "&#;"}, Row{"to10on", "\t", "&#9;"},
                                           Row{"to10on", kGrinning, "&#55357;&#56832;"}));

INSTANTIATE_TEST_SUITE_P(
    FromReferences, EscapeTable,
    ::testing::Values(
        Row{"to10un", "&#65;&#66;", "AB"}, Row{"to10un", "&#x4e2d;", kZhong},
        Row{"to10un", "&#20013;", kZhong}, Row{"to10un", "&#20013;a", kZhong + "a"},
        Row{"to10un", "&#20013" + kZhong, kZhong + kZhong}, Row{"to10un", "&#65;BC", "A"},
        Row{"to10un", "&#65;BCDE", "ADE"}, Row{"to10un", "&#99999;", EncodeCodePoint(34463)},
        Row{"to10un", "x&#X4E2D;y", "x"}, Row{"to10un", "&#;", ""}, Row{"to10un", "&# 65;", "A"},
        Row{"to10un",
            "&#\xA1\xA1"
            "65",
            "A"},
        Row{"to10un", "&#-1;", kNoncharacter}, Row{"to10un", "&#+66", "B"},
        Row{"to10un", "&#x0x41", "A"}, Row{"to10un", "&#x0X41", "A"}, Row{"to10un", "&#0x41", ""},
        Row{"to10un", "a&#x&", "a"},
        Row{"to10un", "&#12&#65;",
            "\x0C"
            "A"},
        Row{"to10un", "b&#" + kZhong, "b"}, Row{"to10un", "&#", "&#"},
        Row{"to10un", "&#&#65;", "&#A"}, Row{"to10un", "&#55357;&#56832;", kGrinning},
        Row{"to10un", "&#x41x", "A"}, Row{"to10un", "&amp;&#97", "&amp;a"},
        // The digits part ends inside the two raw bytes of an unmapped code.
        Row{"to10un", "&#1234\xA2\xE3", EncodeCodePoint(1234) + "\xE3"},
        // The digits part ends between the halves of a four-byte character: the
        // low half pairs with a high half the reference gives, else stands alone.
        Row{"to10un", "&#xd83d" + kGrinning + "Z", kGrinning + "Z"},
        Row{"to10un", "&#xd83d\x95\x32\x82\x36Z", "\x94\x39\xC9\x34Z"},
        Row{"to10un", "&#xd83d" + EncodeCodePoint(0x1F480), EncodeCodePoint(0x1F480)},
        Row{"to10un", "&#1234" + kGrinning, EncodeCodePoint(1234) + "?"},
        Row{"to10un", "&#1234" + EncodeCodePoint(0x1F480), EncodeCodePoint(1234) + "?"}));

TEST(EscapeConvert, RefusesAnEncodingBeyondTheLimit) {
    EXPECT_EQ(EscapeConvert("abcd", "to16on", 24), "\\u0061\\u0062\\u0063\\u0064");
    EXPECT_EQ(EscapeConvert("abcde", "to16on", 24), std::nullopt);
    EXPECT_EQ(EscapeConvert("abcde", "to10on", 24), std::nullopt);
    EXPECT_EQ(EscapeConvert("abcde", "to16un", 2), "abcde");
}

TEST(EscapeConvert, UnknownNameGivesTheEmptyText) {
    EXPECT_EQ(EscapeConvert("abc", "to8on"), "");
}

}  // namespace
}  // namespace velmor
