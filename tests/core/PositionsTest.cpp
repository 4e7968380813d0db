#include <gtest/gtest.h>

#include "core/Positions.h"

using namespace velmor;

namespace {

struct PositionCase {
    Text text;
    int characters;
    // {n, ByteOffsetOfCharacters(n)} and {b, CharacterIndexOfByte(b)} pairs.
    std::vector<std::pair<int, int>> offsets;
    std::vector<std::pair<int, int>> indexes;
};

TEST(Positions, Table) {
    const PositionCase cases[] = {
        {"a\xD6\xD0"
         "b",
         3,
         {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 4}, {-1, 0}},
         {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {9, 3}, {-2, 0}}},
        {"", 0, {{0, 0}, {3, 0}}, {{0, 0}, {1, 0}}},
        // 0x80 is a character of its own here, unlike in the text primitives.
        {"\x80"
         "A",
         2,
         {{1, 1}, {2, 2}},
         {{1, 1}, {2, 2}}},
        {"\x81"
         "A",
         1,
         {{1, 2}},
         {{1, 1}, {2, 1}}},
        // A lead byte that is the last byte is one character of one byte.
        {"a\xD6", 2, {{1, 1}, {2, 2}, {3, 2}}, {{2, 2}}},
        {"\xD6", 1, {{1, 1}}, {{1, 1}}},
        {"\r\n\xB0\xA1\r\n", 5, {{2, 2}, {3, 4}, {5, 6}}, {{3, 3}, {4, 3}, {5, 4}}},
    };
    for (const PositionCase& c : cases) {
        EXPECT_EQ(CharacterCount(c.text), c.characters) << c.text;
        for (const auto& [n, expected] : c.offsets) {
            EXPECT_EQ(ByteOffsetOfCharacters(c.text, n), expected) << c.text << " n=" << n;
        }
        for (const auto& [b, expected] : c.indexes) {
            EXPECT_EQ(CharacterIndexOfByte(c.text, b), expected) << c.text << " b=" << b;
        }
    }
}

TEST(Positions, ConversionsRoundTripAtCharacterBoundaries) {
    const Text text = "x\xD6\xD0\x80\xB0\xA1y\r\n\xFE";
    const int count = CharacterCount(text);
    for (int n = 0; n <= count; ++n) {
        EXPECT_EQ(CharacterIndexOfByte(text, ByteOffsetOfCharacters(text, n)), n);
    }
}

}  // namespace
