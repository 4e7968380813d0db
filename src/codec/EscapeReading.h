#pragma once

#include <array>
#include <cstdint>

namespace velmor::escape_reading {

// How the script functions read the digits of an escape, shared by both ways of converting.

// The value of each byte as a hexadecimal digit, -1 for a byte that is none: a look-up, since
// the digits of escapes vary too much for branches to be foreseen.
inline constexpr std::array<std::int8_t, 256> kHexValues = [] {
    std::array<std::int8_t, 256> values{};
    for (int c = 0; c < 256; ++c) {
        values[c] = static_cast<std::int8_t>(c >= '0' && c <= '9'   ? c - '0'
                                             : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                    : -1);
    }
    return values;
}();

inline int HexValue(unsigned char c) {
    return kHexValues[c];
}

// The value of count hexadecimal digits at p, or -1.
inline int HexRun(const unsigned char* p, int count) {
    int value = 0;
    int invalid = 0;
    for (int k = 0; k < count; ++k) {
        const int digit = kHexValues[p[k]];
        invalid |= digit;
        value = value * 16 + digit;
    }
    return invalid < 0 ? -1 : value;
}

inline bool IsScriptWhiteSpace(char32_t u) {
    // Digits and letters, nearly all a reference holds, are settled by the first test.
    if (u > 0x20 && u < 0xA0) {
        return false;
    }
    return u == 0x09 || u == 0x0A || u == 0x0B || u == 0x0C || u == 0x0D || u == 0x20 ||
           u == 0xA0 || u == 0x1680 || (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 ||
           u == 0x202F || u == 0x205F || u == 0x3000 || u == 0xFEFF;
}

// parseInt over the code units of a reference's digits part; 0 where it reads no digit.
inline std::int64_t ParseReferenceNumber(const char32_t* units, int count, bool hexadecimal) {
    int k = 0;
    while (k < count && IsScriptWhiteSpace(units[k])) {
        ++k;
    }
    bool negative = false;
    if (k < count && (units[k] == '+' || units[k] == '-')) {
        negative = units[k] == '-';
        ++k;
    }
    if (hexadecimal && k + 1 < count && units[k] == '0' &&
        (units[k + 1] == 'x' || units[k + 1] == 'X')) {
        k += 2;
    }
    std::int64_t value = 0;
    for (; k < count; ++k) {
        const char32_t u = units[k];
        const int digit = u < 0x80 ? HexValue(static_cast<unsigned char>(u)) : -1;
        if (digit < 0 || (!hexadecimal && digit > 9)) {
            break;
        }
        value = value * (hexadecimal ? 16 : 10) + digit;
    }
    return negative ? -value : value;
}

// Where the digits part of a reference starts, for an "&" at p (before end): after "&#" and
// an optional "x" that has a character other than "&" after it; nullptr when the part would
// be empty and the "&" starts no reference.
inline const unsigned char* DigitsPart(const unsigned char* p, const unsigned char* end,
                                       bool& hexadecimal) {
    if (end - p < 3 || p[1] != '#') {
        return nullptr;
    }
    const unsigned char* digits = p + 2;
    hexadecimal = *digits == 'x' && end - digits >= 2 && digits[1] != '&';
    if (hexadecimal) {
        ++digits;
    }
    return *digits == '&' ? nullptr : digits;
}

// The code unit a reference stands for: its number taken into 0..65535.
inline char32_t ReferenceUnit(std::int64_t value) {
    return static_cast<char32_t>(((value % 65536) + 65536) % 65536);
}

}  // namespace velmor::escape_reading
