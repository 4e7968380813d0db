#include "codec/EscapeConversion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "codec/EscapeDecoding.h"
#include "codec/GbkUnits.h"
#include "core/LargeText.h"

namespace velmor {

namespace {

// The escapes are stored a machine word at a time, bytes in memory order.
static_assert(std::endian::native == std::endian::little);

// Two lower-case hexadecimal digits per byte value, in memory order.
constexpr std::array<std::uint16_t, 256> kHexPairs = [] {
    constexpr char kDigits[] = "0123456789abcdef";
    std::array<std::uint16_t, 256> pairs{};
    for (int b = 0; b < 256; ++b) {
        pairs[b] = static_cast<std::uint16_t>(kDigits[b >> 4] | kDigits[b & 15] << 8);
    }
    return pairs;
}();

// Writes eight bytes, of which the escape takes six.
char* PutHexadecimalUnit(char* out, char32_t u) {
    const std::uint64_t word = std::uint64_t{'\\'} | std::uint64_t{'u'} << 8 |
                               std::uint64_t{kHexPairs[u >> 8 & 0xFF]} << 16 |
                               std::uint64_t{kHexPairs[u & 0xFF]} << 32;
    std::memcpy(out, &word, 8);
    return out + 6;
}

int DecimalDigits(char32_t unit) {
    return unit >= 10000 ? 5 : unit >= 1000 ? 4 : unit >= 100 ? 3 : unit >= 10 ? 2 : 1;
}

char* PutDecimalUnit(char* out, char32_t u) {
    *out++ = '&';
    *out++ = '#';
    const int digits = DecimalDigits(u);
    for (int k = digits - 1; k >= 0; --k) {
        out[k] = static_cast<char>('0' + u % 10);
        u /= 10;
    }
    out += digits;
    *out++ = ';';
    return out;
}

template <typename UnitFunction>
void ForEachUnit(const Text& text, UnitFunction unit) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        p = ForCharacterUnits(p, end, unit);
    }
}

// The escapes of every code unit, built a piece of the text at a time in a small buffer that
// stays in the cache and appended to the result reserved beforehand.
template <char* (*put)(char*, char32_t)>
Text WriteUnits(const Text& text, std::size_t capacity, std::size_t written) {
    constexpr std::ptrdiff_t kPiece = 2048;
    // A byte of the text gives at most one code unit, and a unit at most eight bytes; a
    // character may reach three bytes past the piece, and a store two bytes past its escape.
    char buffer[(kPiece + 3) * 8 + 2];
    Text result;
    ReserveLargeText(result, capacity, written);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    char* out = buffer;
    auto unit = [&out](char32_t u) { out = put(out, u); };
    while (p < end) {
        const auto* const limit = p + std::min(kPiece, end - p);
        out = buffer;
        while (p < limit) {
            p = ForCharacterUnits(p, end, unit);
        }
        result.append(buffer, static_cast<std::size_t>(out - buffer));
    }
    return result;
}

std::optional<Text> EncodeUnits(const Text& text, bool hexadecimal, std::size_t maxResultBytes) {
    if (text.empty()) {
        return Text(hexadecimal ? "\\u" : "&#;");
    }
    // A byte gives at most one code unit, written in at most six (eight) bytes, and every
    // character gives at least one and a half bytes of escapes per byte; only when the bound
    // passes the limit is the result measured exactly first.
    std::size_t size = text.size() * (hexadecimal ? 6 : 8);
    if (size > maxResultBytes) {
        size = 0;
        if (hexadecimal) {
            ForEachUnit(text, [&size](char32_t) { size += 6; });
        } else {
            ForEachUnit(text, [&size](char32_t u) { size += 3 + DecimalDigits(u); });
        }
        if (size > maxResultBytes) {
            return std::nullopt;
        }
    }
    const std::size_t written = std::min(size, text.size() + text.size() / 2);
    return hexadecimal ? WriteUnits<PutHexadecimalUnit>(text, size, written)
                       : WriteUnits<PutDecimalUnit>(text, size, written);
}

}  // namespace

std::optional<Text> EscapeConvert(const Text& text, const Text& name, std::size_t maxResultBytes) {
    if (name == "to16on") {
        return EncodeUnits(text, true, maxResultBytes);
    }
    if (name == "to10on") {
        return EncodeUnits(text, false, maxResultBytes);
    }
    if (name == "to16un") {
        return UnescapePercent(text);
    }
    if (name == "to10un") {
        return DecodeReferences(text);
    }
    return Text();
}

}  // namespace velmor
