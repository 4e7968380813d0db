#pragma once

#include <cstdint>

namespace velmor::escape_reading {

// How the script functions read the digits of an escape, shared by both ways of converting.

inline int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The value of count hexadecimal digits at p, or -1.
inline int HexRun(const unsigned char* p, int count) {
    int value = 0;
    for (int k = 0; k < count; ++k) {
        const int digit = HexValue(p[k]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

inline bool IsScriptWhiteSpace(char32_t u) {
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

// The code unit a reference stands for: its number taken into 0..65535.
inline char32_t ReferenceUnit(std::int64_t value) {
    return static_cast<char32_t>(((value % 65536) + 65536) % 65536);
}

}  // namespace velmor::escape_reading
