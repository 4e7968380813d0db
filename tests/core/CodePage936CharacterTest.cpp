#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CodePage936.h"

namespace velmor {
namespace {

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

TEST(CodePage936Character, PutCodePointWritesWhatEncodeCodePointGives) {
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        char buffer[4];
        const std::string put(buffer, PutCodePoint(buffer, cp));
        ASSERT_EQ(put, EncodeCodePoint(cp)) << std::hex << static_cast<unsigned>(cp);
    }
}

// Every candidate of a four-byte code: its character where GbkToCodePoints reads one there.
TEST(CodePage936Character, FourByteCharacterIsReadAsTheWholeConversionReadsIt) {
    std::vector<std::uint8_t> lengths;
    int characters = 0;
    for (int first = 0x81; first <= 0xFE; ++first) {
        for (int second = 0x30; second <= 0x39; ++second) {
            for (int third = 0x81; third <= 0xFE; ++third) {
                for (int fourth = 0x30; fourth <= 0x39; fourth += 3) {
                    const std::string code{static_cast<char>(first), static_cast<char>(second),
                                           static_cast<char>(third), static_cast<char>(fourth)};
                    const std::wstring read = GbkToCodePoints(code, &lengths);
                    const char32_t expected =
                        lengths[0] == 4 ? static_cast<char32_t>(read[0]) : char32_t{0};
                    ASSERT_EQ(GbkFourByteCharacter(Bytes(code), Bytes(code) + 4), expected);
                    ASSERT_EQ(GbkFourByteCharacter(Bytes(code), Bytes(code) + 3), 0u);
                    characters += expected != 0;
                }
            }
        }
    }
    EXPECT_GT(characters, 100000);
    const std::string notALead = "\x80\x30\x81\x30";
    EXPECT_EQ(GbkFourByteCharacter(Bytes(notALead), Bytes(notALead) + 4), 0u);
}

}  // namespace
}  // namespace velmor
