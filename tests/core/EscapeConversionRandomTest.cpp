#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "codec/EscapeConversion.h"
#include "codec/EscapeConversionThroughUtf8.h"
#include "core/CodePage936.h"
#include "core/Utf8.h"

namespace velmor {
namespace {

// The code units of the text as the whole conversion to UTF-8 gives them.
std::u32string UnitsThroughUtf8(const Text& text) {
    const std::string utf8 = GbkToUtf8(text);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    std::u32string units;
    while (p < end) {
        const Utf8Item item = ReadUtf8Item(p, end);
        p += item.length;
        if (!item.wellFormed) {
            units += kRawByteBase + item.codePoint;
        } else if (item.codePoint >= 0x10000) {
            units += 0xD800 + ((item.codePoint - 0x10000) >> 10);
            units += 0xDC00 + ((item.codePoint - 0x10000) & 0x3FF);
        } else {
            units += item.codePoint;
        }
    }
    return units;
}

// The four conversions the long way round: the encoders over the units of the UTF-8 text,
// the decoders through UTF-8 as the library keeps them.
std::optional<Text> ConvertThroughUtf8(const Text& text, const std::string& name,
                                       std::size_t maxResultBytes = kMaxResultBytes) {
    if (name == "to16un") {
        return UnescapePercentThroughUtf8(text);
    }
    if (name == "to10un") {
        return DecodeReferencesThroughUtf8(text);
    }
    const bool hexadecimal = name == "to16on";
    const std::u32string units = UnitsThroughUtf8(text);
    if (units.empty()) {
        return Text(hexadecimal ? "\\u" : "&#;");
    }
    Text result;
    char escape[16];
    for (const char32_t u : units) {
        const int length = std::snprintf(escape, sizeof escape, hexadecimal ? "\\u%04x" : "&#%u;",
                                         static_cast<unsigned>(u));
        result.append(escape, static_cast<std::size_t>(length));
    }
    if (result.size() > maxResultBytes) {
        return std::nullopt;
    }
    return result;
}

std::string HexDigits(unsigned value, int count, bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out(static_cast<std::size_t>(count), '0');
    for (int k = count - 1; k >= 0; --k) {
        out[static_cast<std::size_t>(k)] = digits[value & 15];
        value >>= 4;
    }
    return out;
}

unsigned Pick(std::mt19937& random, unsigned count) {
    return static_cast<unsigned>(random() % count);
}

// A code unit worth escaping: ASCII, an ideograph, a surrogate (raw-byte ones included) or
// anything at all.
unsigned RandomUnit(std::mt19937& random) {
    switch (Pick(random, 6)) {
        case 0:
            return Pick(random, 0x80);
        case 1:
            return 0x4E00 + Pick(random, 0x5000);
        case 2:
            return 0xD800 + Pick(random, 0x800);
        case 3:
            return 0xDC80 + Pick(random, 0x80);
        case 4:
            return Pick(random, 0x100);
        default:
            return Pick(random, 0x10000);
    }
}

// One piece of text: characters of every length, bytes that start no character, escapes of
// both kinds whole and broken, and what a reference's digits part may hold.
Text RandomPiece(std::mt19937& random) {
    static const char* const kFixed[] = {
        "\x80", "\xFF",     "\xA2\xE3", "\x81\x7F", "\xFE\x7F", "\x95\\",   "\x81",
        "\xE4", "\xA1\xA1", "%",        "\\",       "&",        "&#",       "&#x",
        ";",    "x",        "X",        "u",        "0x",       "-",        "+",
        " ",    "\t",       "\r\n",     "%u",       "%u12",     "%4",       "&#&",
        "&#x&", "99999",    "-1",       "65",       "\xA3\xAC", "\x81\x30", "\x81\x30\x81",
        "%00",  "&#0;",     "\\u0000",  "%uDC",     "\xC3",     "\xE3\x81"};
    const bool upper = Pick(random, 2) == 0;
    switch (Pick(random, 12)) {
        case 0:
            return kFixed[Pick(random, std::size(kFixed))];
        case 1:
            return EncodeCodePoint(0x4E00 + Pick(random, 0x5000));
        case 2: {
            const char32_t cp = Pick(random, 3) == 0 ? 0x10000 + Pick(random, 0x100000)
                                                     : 0x80 + Pick(random, 0xD800 - 0x80);
            return EncodeCodePoint(cp);
        }
        case 3:
            return Text(1, static_cast<char>(1 + Pick(random, 0xFF)));
        case 4:
            return (Pick(random, 2) == 0 ? "\\u" : "%u") + HexDigits(RandomUnit(random), 4, upper);
        case 5:
            return (Pick(random, 2) == 0 ? "%" : "\\") + HexDigits(Pick(random, 0x100), 2, upper);
        case 6:
            return "&#" + std::to_string(static_cast<int>(Pick(random, 200000)) - 50000) +
                   (Pick(random, 2) == 0 ? ";" : "");
        case 7:
            return "&#x" +
                   HexDigits(RandomUnit(random), 1 + static_cast<int>(Pick(random, 4)), upper) +
                   (Pick(random, 2) == 0 ? ";" : "");
        case 8:
            return std::string(1, "0123456789abcdefABCDEF"[Pick(random, 22)]);
        case 9:
            return Text(static_cast<std::size_t>(Pick(random, 400)),
                        "AB\xD6\xD0"[Pick(random, 2) * 2]);
        default:
            return Text(1, static_cast<char>(0x20 + Pick(random, 0x60)));
    }
}

Text RandomText(std::mt19937& random) {
    Text text;
    const unsigned pieces = Pick(random, 20) == 0 ? Pick(random, 3000) : Pick(random, 24);
    for (unsigned k = 0; k < pieces; ++k) {
        text += RandomPiece(random);
    }
    // A text holds no zero byte.
    for (char& c : text) {
        if (c == '\0') {
            c = '0';
        }
    }
    return text;
}

// The direct conversions against the ones through UTF-8, on random texts for a bounded time.
TEST(EscapeConversionRandom, DirectConversionsEqualTheConversionsThroughUtf8) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point stop = Clock::now() + std::chrono::milliseconds(1500);
    std::mt19937 random(20261210);
    int rounds = 0;
    for (; rounds < 200000 && Clock::now() < stop; ++rounds) {
        const Text text = RandomText(random);
        for (const char* name : {"to16on", "to16un", "to10on", "to10un"}) {
            ASSERT_EQ(EscapeConvert(text, name), ConvertThroughUtf8(text, name))
                << name << " of " << ::testing::PrintToString(text);
        }
        const std::size_t limit = Pick(random, 8 * text.size() + 8);
        for (const char* name : {"to16on", "to10on"}) {
            ASSERT_EQ(EscapeConvert(text, name, limit), ConvertThroughUtf8(text, name, limit))
                << name << " up to " << limit << " of " << ::testing::PrintToString(text);
        }
    }
    EXPECT_GT(rounds, 100);
}

// Every pair of bytes as a character of its own, in a reference's digits part and before a
// backslash it may take as its trail.
TEST(EscapeConversionRandom, EveryPairOfBytesConvertsAsThroughUtf8) {
    for (int first = 1; first < 256; ++first) {
        for (int second = 1; second < 256; ++second) {
            const Text pair{static_cast<char>(first), static_cast<char>(second)};
            const std::pair<const char*, Text> cases[] = {{"to16on", pair},
                                                          {"to10on", pair + "\xA1"},
                                                          {"to16un", "a" + pair + "\\41%u4e2d"},
                                                          {"to10un", "&#" + pair + "1;&#x" + pair}};
            for (const auto& [name, text] : cases) {
                ASSERT_EQ(EscapeConvert(text, name), ConvertThroughUtf8(text, name))
                    << name << " of " << ::testing::PrintToString(text);
            }
        }
    }
}

}  // namespace
}  // namespace velmor
