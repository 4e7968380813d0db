#include "core/Numbers.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

#include "core/TextPrimitives.h"

namespace velmor {

namespace {

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The C library's white space in the C locale; the process locale must not widen it.
inline bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Skips leading white space and an optional sign; returns where the digits start.
std::size_t SkipToDigits(const Text& text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

}  // namespace

int ToInt(const Text& text) {
    const Text half = TextHalfWidth(text);
    bool negative = false;
    std::size_t i = SkipToDigits(half, negative);
    // Saturating one past INT_MAX keeps INT_MIN itself reachable.
    long long value = 0;
    for (; i < half.size() && IsDigit(half[i]); ++i) {
        value = value * 10 + (half[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

double ToNumber(const Text& text) {
    const Text half = TextHalfWidth(text);
    bool negative = false;
    std::size_t i = SkipToDigits(half, negative);
    const std::size_t begin = i;
    // The decimal position of the first significant digit, to tell overflow from underflow.
    long long magnitude = 0;
    bool significant = false;
    std::size_t digits = 0;
    for (; i < half.size() && IsDigit(half[i]); ++i, ++digits) {
        significant = significant || half[i] != '0';
        magnitude += significant ? 1 : 0;
    }
    if (i < half.size() && half[i] == '.') {
        for (++i; i < half.size() && IsDigit(half[i]); ++i, ++digits) {
            if (!significant && half[i] == '0') {
                --magnitude;
            }
            significant = significant || half[i] != '0';
        }
    }
    if (digits == 0) {
        return 0;
    }
    // An exponent counts only when at least one digit follows the e.
    if (i < half.size() && (half[i] == 'e' || half[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < half.size() && (half[j] == '+' || half[j] == '-')) {
            negativeExponent = half[j] == '-';
            ++j;
        }
        if (j < half.size() && IsDigit(half[j])) {
            long long exponent = 0;
            for (; j < half.size() && IsDigit(half[j]); ++j) {
                exponent = std::min(exponent * 10 + (half[j] - '0'), 1000000000LL);
            }
            magnitude += negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    double value = 0;
    const auto result = std::from_chars(half.data() + begin, half.data() + i, value);
    if (result.ec == std::errc::result_out_of_range) {
        value = magnitude > 0 ? DBL_MAX : 0;
    }
    return negative ? -value : value;
}

int ToByte(int value) {
    return value & 0xFF;
}

Text ToText(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return Text(buffer, result.ptr);
}

Text ToText(double value) {
    // to_chars, unlike printf, ignores the locale's decimal point.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    return Text(buffer, result.ptr);
}

Text ToText(const ByteString& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

Text ToHex(int value) {
    char buffer[16];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(value), 16);
    Text hex(buffer, result.ptr);
    for (char& c : hex) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return hex;
}

double Power(double a, double b) {
    return std::pow(a, b);
}

std::int64_t IntDiv(std::int64_t a, std::int64_t b) {
    if (b == 0) {
        return 0;
    }
    if (a == INT64_MIN && b == -1) {
        return INT64_MAX;
    }
    return a / b;
}

double Remainder(double a, double b) {
    if (b == 0) {
        return 0;
    }
    // The defining formula rather than fmod: 1 mod 0.1 must come out as 0, as users expect.
    return a - b * std::trunc(a / b);
}

int BitAnd(int a, int b) {
    return a & b;
}

int BitOr(int a, int b) {
    return a | b;
}

int BitXor(int a, int b) {
    return a ^ b;
}

int ShiftLeft(int value, int n) {
    return static_cast<int>(static_cast<std::uint32_t>(value) << (n & 31));
}

int ShiftRight(int value, int n) {
    return value >> (n & 31);
}

bool NearlyEqual(double a, double b) {
    return std::fabs(a - b) <= 1e-7;
}

}  // namespace velmor
