#include <gtest/gtest.h>

#include <random>

#include "core/ByteBlocks.h"
#include "core/CodePage936.h"

using namespace velmor;

namespace {

// Bytes that make UTF-8 of every length, broken sequences, and ASCII runs of any length.
std::string RandomUtf8ish(std::mt19937& random, std::size_t length) {
    static const std::string kPieces[] = {"a",
                                          "0123456789abcdef",
                                          "\xE4\xB8\xAD",
                                          "\xE2\x82\xAC",
                                          "\xC3\xA9",
                                          "\xF0\x9F\x98\x80",
                                          "\xE4\xB8",
                                          "\xF0\x9F",
                                          "\x80",
                                          "\xFF",
                                          "\xED\xA0\x80",
                                          "\xC2",
                                          "\xEF\xBC\x81",
                                          "\r\n"};
    std::string text;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    while (text.size() < length) {
        text += kPieces[pick(random)];
    }
    return text;
}

TEST(CodePage936Parts, ConvertingInPartsGivesTheWhole) {
    std::mt19937 random(4);
    for (int k = 0; k < 300; ++k) {
        const std::string utf8 = RandomUtf8ish(random, static_cast<std::size_t>(k) * 7);
        const Text whole = Utf8ToGbk(utf8);
        // Cut anywhere, with what a part leaves carried to the front of the next.
        std::uniform_int_distribution<std::size_t> cut(1, 9);
        Text parts;
        std::string pending;
        std::size_t at = 0;
        while (at < utf8.size()) {
            const std::size_t take = std::min(cut(random), utf8.size() - at);
            pending += utf8.substr(at, take);
            at += take;
            pending.erase(0, Utf8ToGbkPart(pending, false, parts));
            ASSERT_LE(pending.size(), 3u);
        }
        EXPECT_EQ(Utf8ToGbkPart(pending, true, parts), pending.size());
        ASSERT_EQ(parts, whole) << testing::PrintToString(utf8);

        std::string pieces;
        GbkToUtf8Pieces(whole, [&pieces](std::string_view piece) { pieces += piece; });
        ASSERT_EQ(pieces, GbkToUtf8(whole));
    }
}

TEST(CodePage936Parts, LongTextsComeBackWhole) {
    std::mt19937 random(8);
    const std::string utf8 = RandomUtf8ish(random, 200000);
    const Text gbk = Utf8ToGbk(utf8);
    EXPECT_EQ(Utf8ToGbk(GbkToUtf8(gbk)), gbk);
    std::size_t pieces = 0;
    GbkToUtf8Pieces(gbk, [&pieces](std::string_view) { ++pieces; });
    EXPECT_GT(pieces, 1u);
}

TEST(CodePage936Parts, AsciiPrefixAgreesWithThePortableOne) {
    std::mt19937 random(1);
    for (int k = 0; k < 5000; ++k) {
        std::string bytes = RandomUtf8ish(random, 16).substr(0, 16);
        ASSERT_EQ(AsciiPrefix16(bytes.data()), portable_blocks::AsciiPrefix16(bytes.data()));
    }
}

}  // namespace
