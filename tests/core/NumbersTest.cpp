#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/Numbers.h"

using namespace velmor;

namespace {

struct IntCase {
    Text text;
    int expected;
};

TEST(ToInt, Table) {
    const IntCase cases[] = {
        {"\xA3\xB1\xA3\xB2"
         "ab",
         12},  // full-width 1 2
        {" -7", -7},
        {"abc", 0},
        {"", 0},
        {"+15x", 15},
        {"\t\r\n 42", 42},
        {"\xA1\xA1\xA3\xAD\xA3\xB3", -3},  // full-width space, minus, 3
        {"- 5", 0},
        {"--5", 0},
        {"12.9", 12},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        {"\xD6\xD0"
         "5",
         0},
        {"5\xD6\xD0", 5},
    };
    for (const IntCase& c : cases) {
        EXPECT_EQ(ToInt(c.text), c.expected) << c.text;
    }
}

TEST(ToInt, AgreesWithStrtolInsideTheIntRange) {
    std::mt19937 rng(7);
    const char alphabet[] = " +-0123456789x.";
    for (int round = 0; round < 5000; ++round) {
        Text text;
        const int n = static_cast<int>(rng() % 9);
        for (int i = 0; i < n; ++i) {
            text += alphabet[rng() % (sizeof alphabet - 1)];
        }
        const long expected = std::strtol(text.c_str(), nullptr, 10);
        ASSERT_EQ(ToInt(text), static_cast<int>(expected)) << text;
    }
}

struct NumberCase {
    Text text;
    double expected;
};

TEST(ToNumber, Table) {
    const NumberCase cases[] = {
        {"3.25", 3.25},
        {" -0.5kg", -0.5},
        {".5", 0.5},
        {"5.", 5},
        {"1e3", 1000},
        {"1E-2x", 0.01},
        {"1e", 1},
        {"1e+", 1},
        {"2.5.1", 2.5},
        {"abc", 0},
        {".", 0},
        {"-", 0},
        {"\xA3\xB1\xA3\xAE\xA3\xB5", 1.5},  // full-width 1.5
        {"1e999", DBL_MAX},
        {"-1e999", -DBL_MAX},
        {"1e-999", 0},
        {"0e999999999999", 0},
        {"0x10", 0},
        {"inf", 0},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(ToNumber(c.text), c.expected) << c.text;
    }
}

TEST(ToText, IntegersNumbersAndBytes) {
    EXPECT_EQ(ToText(0), "0");
    EXPECT_EQ(ToText(-42), "-42");
    EXPECT_EQ(ToText(INT_MIN), "-2147483648");
    EXPECT_EQ(ToText(5.0), "5");
    EXPECT_EQ(ToText(0.5), "0.5");
    EXPECT_EQ(ToText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(ToText(1e20), "1e+20");
    EXPECT_EQ(ToText(-2.5e-7), "-2.5e-07");
    EXPECT_EQ(ToText(ByteString("ab\0cd", 5)), "ab");
    EXPECT_EQ(ToText(ByteString("abc")), "abc");
    EXPECT_EQ(ToText(ByteString()), "");
}

TEST(ToText, NumbersMatchPrintf) {
    std::mt19937_64 rng(99);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int round = 0; round < 5000; ++round) {
        const double value = mantissa(rng) * std::pow(10.0, exponent(rng));
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.13g", value);
        ASSERT_EQ(ToText(value), expected);
    }
}

TEST(ToHex, UpperCaseAndTwosComplement) {
    EXPECT_EQ(ToHex(0), "0");
    EXPECT_EQ(ToHex(255), "FF");
    EXPECT_EQ(ToHex(0x1A2B), "1A2B");
    EXPECT_EQ(ToHex(-1), "FFFFFFFF");
    EXPECT_EQ(ToHex(INT_MIN), "80000000");
    EXPECT_EQ(ToHex(INT_MAX), "7FFFFFFF");
}

TEST(Arithmetic, DivisionRemainderAndBytes) {
    EXPECT_EQ(IntDiv(7, 2), 3);
    EXPECT_EQ(IntDiv(-7, 2), -3);
    EXPECT_EQ(IntDiv(7, -2), -3);
    EXPECT_EQ(IntDiv(INT64_MIN, -1), INT64_MAX);
    EXPECT_EQ(IntDiv(5, 0), 0);
    EXPECT_EQ(Remainder(7, 3), 1);
    EXPECT_EQ(Remainder(-7, 3), -1);
    EXPECT_EQ(Remainder(7, -3), 1);
    EXPECT_EQ(Remainder(7.5, 2), 1.5);
    EXPECT_EQ(Remainder(3725, 3600), 125);
    EXPECT_TRUE(NearlyEqual(Remainder(1, 0.1), 0));
    EXPECT_TRUE(NearlyEqual(Remainder(25, 5), 0));
    EXPECT_FALSE(NearlyEqual(Remainder(26, 5), 0));
    EXPECT_EQ(Remainder(5, 0), 0);
    EXPECT_TRUE(NearlyEqual(1, 1 + 0.9e-7));
    EXPECT_TRUE(NearlyEqual(0.5, 0.5 + 1e-7));
    EXPECT_FALSE(NearlyEqual(1, 1 + 1e-6));
    EXPECT_EQ(Power(2, 10), 1024);
    EXPECT_EQ(Power(9, 0.5), 3);
    EXPECT_EQ(ToByte(0x1234), 0x34);
    EXPECT_EQ(ToByte(-1), 255);
}

TEST(Bits, ThirtyTwoBitValues) {
    EXPECT_EQ(BitAnd(0xF0F0, 0xFF00), 0xF000);
    EXPECT_EQ(BitOr(0xF0, 0x0F), 0xFF);
    EXPECT_EQ(BitXor(-1, 0x0F), -16);
    EXPECT_EQ(ShiftLeft(1, 4), 16);
    EXPECT_EQ(ShiftLeft(1, 31), INT_MIN);
    EXPECT_EQ(ShiftLeft(1, 32), 1);
    EXPECT_EQ(ShiftLeft(1, 33), 2);
    EXPECT_EQ(ShiftLeft(3, -1), INT_MIN);  // -1 mod 32 is 31
    EXPECT_EQ(ShiftLeft(INT_MAX, 1), -2);
    EXPECT_EQ(ShiftRight(-16, 2), -4);
    EXPECT_EQ(ShiftRight(INT_MIN, 31), -1);
    EXPECT_EQ(ShiftRight(256, 36), 16);
    EXPECT_EQ(ShiftRight(256, 0), 256);
}

}  // namespace
