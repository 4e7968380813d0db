#include <gtest/gtest.h>

#include "core/LargeText.h"

namespace velmor {
namespace {

// Whatever pages the buffers get, and however they are faulted in ahead, the bytes are the
// ones written: the kept content, zeros where a text grows, and nothing lost of the room.
TEST(LargeText, ReservingAndGrowingKeepTheContentAndZeroTheNewBytes) {
    constexpr std::size_t kMegabyte = std::size_t{1} << 20;
    Text text(3 * kMegabyte, 'a');
    text[12345] = 'b';
    ReserveLargeText(text, 40 * kMegabyte, 4 * kMegabyte);
    ASSERT_GE(text.capacity(), 40 * kMegabyte);
    const char* const buffer = text.data();
    text.append(5 * kMegabyte, 'c');
    GrowLargeTextInPlace(text, 30 * kMegabyte + 7);
    EXPECT_EQ(text.data(), buffer);
    ASSERT_EQ(text.size(), 30 * kMegabyte + 7);
    EXPECT_EQ(text[12345], 'b');
    EXPECT_EQ(text.find_first_not_of('a', 12346), 3 * kMegabyte);
    EXPECT_EQ(text.find_first_not_of('c', 3 * kMegabyte), 8 * kMegabyte);
    EXPECT_EQ(text.find_first_not_of('\0', 8 * kMegabyte), std::string::npos);

    Text small("xyz");
    ResizeLargeText(small, 9 * kMegabyte);
    EXPECT_EQ(small.substr(0, 4), std::string("xyz\0", 4));
}

}  // namespace
}  // namespace velmor
