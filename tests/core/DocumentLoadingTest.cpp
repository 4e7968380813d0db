#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/DocumentLoading.h"

namespace velmor {
namespace {

using namespace std::string_literals;

TEST(DocumentLoadingTest, OpenedFilesStopAtTheFirstZeroOrControlZ) {
    struct Row {
        ByteString bytes;
        Text opened;
        Text dropped;
    };
    const Row rows[] = {
        {"", "", ""},
        {"abc", "abc", "abc"},
        {"A\x1A"
         "B",
         "A",
         "A\x1A"
         "B"},
        {"A\0B"s, "A", "A"},
        {"\x1A"
         "A",
         "",
         "\x1A"
         "A"},
        // 中 = D6 D0; a trail byte never ends the text.
        {"\xD6\xD0\x1A"
         "B",
         "\xD6\xD0",
         "\xD6\xD0\x1A"
         "B"},
        // A lead byte takes 0x1A along as its trail byte; reading goes on.
        {"A\xD6\x1A"
         "B\x1A"
         "C",
         "A\xD6\x1A"
         "B",
         "A\xD6\x1A"
         "B\x1A"
         "C"},
        // A lead byte followed by 0x00 is dropped with it.
        {"A\xD6\0B"s, "A", "A\xD6"},
        // 0x80 is a lead byte for the text walk.
        {"\x80\x1A"
         "A",
         "\x80\x1A"
         "A",
         "\x80\x1A"
         "A"},
        // A lone lead byte at the end stays.
        {"AB\xD6", "AB\xD6", "AB\xD6"},
        {"\xEF\xBB\xBFx\n", "\xEF\xBB\xBFx\n", "\xEF\xBB\xBFx\n"},
        {"a\nb\r\n", "a\nb\r\n", "a\nb\r\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CutOpenedFileBytes(row.bytes), row.opened) << testing::PrintToString(row.bytes);
        EXPECT_EQ(CutDroppedFileBytes(row.bytes), row.dropped) << testing::PrintToString(row.bytes);
    }
}

// The rule as the plain walk over the characters from the start.
Text OpenedByWalking(const ByteString& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0x00 || byte == 0x1A) {
            break;
        }
        if (byte < 0x80) {
            ++i;
        } else if (i + 1 < bytes.size() && bytes[i + 1] == '\0') {
            break;
        } else {
            i += 2;
        }
    }
    return bytes.substr(0, std::min(i, bytes.size()));
}

TEST(DocumentLoadingTest, OpenedTextAgreesWithTheWalkOnRandomBytes) {
    // Runs of lead bytes of either parity before 0x00 and 0x1A, some of them trail bytes.
    const char alphabet[] = {'\0', '\x1A', 'A', '\x80', '\xD6', '\xFF'};
    std::mt19937 random(1936);
    for (int round = 0; round < 20000; ++round) {
        ByteString bytes(random() % 24, 'A');
        for (char& byte : bytes) {
            // Mostly lead bytes and letters, so that long runs occur.
            byte = alphabet[random() % 8 < 2 ? random() % 2 : 2 + random() % 4];
        }
        ASSERT_EQ(CutOpenedFileBytes(bytes), OpenedByWalking(bytes))
            << testing::PrintToString(bytes);
    }
}

TEST(DocumentLoadingTest, UTF16LoadsAsItsBytesUpToTheFirstZero) {
    const ByteString utf16 =
        "\xFF\xFE"
        "A\0B\0"s;
    EXPECT_EQ(CutDroppedFileBytes(utf16),
              "\xFF\xFE"
              "A");
    // FF FE is one double-byte character, then A and a zero byte.
    EXPECT_EQ(CutOpenedFileBytes(utf16),
              "\xFF\xFE"
              "A");
}

}  // namespace
}  // namespace velmor
