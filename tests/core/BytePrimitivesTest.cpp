#include <gtest/gtest.h>

#include "core/BytePrimitives.h"

using namespace velmor;

namespace {

const ByteString kBytes("a\0b\xD6\xD0", 5);

TEST(BytePrimitives, CutsAndClamps) {
    EXPECT_EQ(BytesLen(kBytes), 5);
    EXPECT_EQ(BytesLeft(kBytes, 2), ByteString("a\0", 2));
    EXPECT_EQ(BytesLeft(kBytes, 0), "");
    EXPECT_EQ(BytesLeft(kBytes, -1), "");
    EXPECT_EQ(BytesLeft(kBytes, 99), kBytes);
    EXPECT_EQ(BytesRight(kBytes, 2), "\xD6\xD0");
    EXPECT_EQ(BytesRight(kBytes, -1), "");
    EXPECT_EQ(BytesRight(kBytes, 99), kBytes);
    EXPECT_EQ(BytesMid(kBytes, 0, 2), ByteString("a\0", 2));  // unlike TextMid
    EXPECT_EQ(BytesMid(kBytes, -5, 1), "a");
    EXPECT_EQ(BytesMid(kBytes, 4, 9), "\xD6\xD0");
    EXPECT_EQ(BytesMid(kBytes, 6, 1), "");
    EXPECT_EQ(BytesMid(kBytes, 2, -1), "");
    EXPECT_EQ(ZeroBytes(3), ByteString(3, '\0'));
    EXPECT_EQ(ZeroBytes(0), "");
    EXPECT_EQ(ZeroBytes(-3), "");
}

struct SplitCase {
    ByteString bytes;
    ByteString separator;
    std::optional<int> maxCount;
    ByteStringList expected;
};

TEST(BytesSplit, Table) {
    const SplitCase cases[] = {
        {"a,,b,", ",", std::nullopt, {"a", "", "b"}},
        {",a", ",", std::nullopt, {"", "a"}},
        {"", ",", std::nullopt, {}},
        {"a,b", "", std::nullopt, {"a,b"}},
        {"a,b,c", ",", 2, {"a", "b"}},
        {"a,b,c", ",", 0, {}},
        {"a,b,c", ",", -1, {}},
        // No character walk: the trail byte 2C of B0 2C is a separator here.
        {"\xB0,\xB0,", ",", std::nullopt, {"\xB0", "\xB0"}},
        {ByteString("x\0\0y\0", 5), ByteString(1, '\0'), std::nullopt, {"x", "", "y"}},
        {"aaa", "aa", std::nullopt, {"", "a"}},
        {"==", "==", std::nullopt, {""}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(BytesSplit(c.bytes, c.separator, c.maxCount), c.expected) << c.bytes;
    }
}

}  // namespace
