#include "core/Utf8.h"

#include <gtest/gtest.h>

#include "core/CodePage936.h"

namespace velmor {
namespace {

TEST(Utf8, EveryScalarValueRoundTripsAndAgreesWithTheCodePageBridge) {
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c < 0xE000) {
            continue;
        }
        std::string utf8;
        AppendUtf8(utf8, c);
        ASSERT_EQ(utf8, GbkToUtf8(EncodeCodePoint(c))) << std::hex << static_cast<unsigned>(c);
        std::vector<char32_t> decoded;
        ASSERT_TRUE(DecodeUtf8(utf8, decoded));
        ASSERT_EQ(decoded.size(), 1u);
        ASSERT_TRUE(decoded[0] == c);
    }
}

TEST(Utf8, MalformedSequencesAreRejected) {
    const char* malformed[] = {"\x80",
                               "\xC0\xAF",
                               "\xC2",
                               "\xE0\x80\xAF",
                               "\xED\xA0\x80",
                               "\xF4\x90\x80\x80",
                               "\xF8\x88\x80\x80\x80",
                               "a\xE4\xB8"};
    for (const char* text : malformed) {
        std::vector<char32_t> decoded;
        EXPECT_FALSE(DecodeUtf8(text, decoded)) << text;
    }
}

}  // namespace
}  // namespace velmor
