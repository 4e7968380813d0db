#include "codec/EscapeConversionThroughUtf8.h"

#include <cstdint>
#include <cstring>

#include "codec/EscapeReading.h"
#include "core/CodePage936.h"
#include "core/LargeText.h"
#include "core/Utf8.h"

namespace velmor {

namespace {

using namespace escape_reading;

// A byte that starts no character reads as a code unit of its own.
Utf8Item ReadItem(const unsigned char* p, const unsigned char* end) {
    Utf8Item item = ReadUtf8Item(p, end);
    if (!item.wellFormed) {
        item.codePoint += kRawByteBase;
    }
    return item;
}

// Calls unit(u) for every UTF-16 code unit of the converted text.
template <typename UnitFunction>
void ForEachUnit(const std::string& utf8, UnitFunction unit) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80) {
            unit(static_cast<char32_t>(*p++));
            continue;
        }
        // Ideographs are three bytes of UTF-8: read well-formed ones here, the rest by ReadItem.
        if ((*p & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            const char32_t codePoint =
                static_cast<char32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
            if (codePoint >= 0x800 && (codePoint < 0xD800 || codePoint > 0xDFFF)) {
                unit(codePoint);
                p += 3;
                continue;
            }
        }
        const Utf8Item item = ReadItem(p, end);
        p += item.length;
        if (item.codePoint >= 0x10000) {
            const char32_t offset = item.codePoint - 0x10000;
            unit(0xD800 + (offset >> 10));
            unit(0xDC00 + (offset & 0x3FF));
        } else {
            unit(item.codePoint);
        }
    }
}

int DecimalDigits(char32_t unit) {
    return unit >= 10000 ? 5 : unit >= 1000 ? 4 : unit >= 100 ? 3 : unit >= 10 ? 2 : 1;
}

char* PutHexadecimalUnit(char* out, char32_t u) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out[0] = '\\';
    out[1] = 'u';
    out[2] = kDigits[u >> 12 & 15];
    out[3] = kDigits[u >> 8 & 15];
    out[4] = kDigits[u >> 4 & 15];
    out[5] = kDigits[u & 15];
    return out + 6;
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

// The escapes of every code unit, built in a small buffer that stays in the cache and
// appended to the result reserved beforehand.
template <char* (*put)(char*, char32_t)>
Text WriteUnits(const std::string& utf8, std::size_t reserve) {
    constexpr std::size_t kLongestEscape = 8;
    Text result;
    ReserveLargeText(result, reserve);
    char buffer[1 << 15];
    char* out = buffer;
    ForEachUnit(utf8, [&](char32_t u) {
        if (out > buffer + sizeof buffer - kLongestEscape) {
            result.append(buffer, static_cast<std::size_t>(out - buffer));
            out = buffer;
        }
        out = put(out, u);
    });
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    return result;
}

std::optional<Text> EncodeUnits(const Text& text, bool hexadecimal, std::size_t maxResultBytes) {
    const std::string utf8 = GbkToUtf8(text);
    // A code unit takes at least one byte of UTF-8 and at most eight bytes of escape; only
    // when that bound passes the limit is the result measured exactly first.
    std::size_t size = utf8.size() * (hexadecimal ? 6 : 8);
    if (size > maxResultBytes) {
        size = 0;
        if (hexadecimal) {
            ForEachUnit(utf8, [&size](char32_t) { size += 6; });
        } else {
            ForEachUnit(utf8, [&size](char32_t u) { size += 3 + DecimalDigits(u); });
        }
        if (size > maxResultBytes) {
            return std::nullopt;
        }
    }
    if (utf8.empty()) {
        return Text(hexadecimal ? "\\u" : "&#;");
    }
    return hexadecimal ? WriteUnits<PutHexadecimalUnit>(utf8, size)
                       : WriteUnits<PutDecimalUnit>(utf8, size);
}

// Collects decoded code units and literal text as UTF-8, pairing surrogates as they come.
class Utf16Writer {
public:
    explicit Utf16Writer(std::size_t reserve) { ReserveLargeText(m_out, reserve); }

    void Unit(char32_t unit) {
        if (m_pendingHigh != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                PutUtf8(0x10000 + ((m_pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
                m_pendingHigh = 0;
                return;
            }
            FlushPending();
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            m_pendingHigh = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            Unpaired(unit);
        } else {
            PutUtf8(unit);
        }
    }

    void Literal(const char* bytes, std::size_t length) {
        if (length == 0) {
            return;
        }
        FlushPending();
        m_out.append(bytes, length);
    }

    // The low half of a pair whose high half went elsewhere stands alone.
    void LoneUnit() {
        FlushPending();
        m_out += '?';
    }

    Text Finish() {
        FlushPending();
        std::string utf8;
        utf8.swap(m_out);
        return Utf8ToGbk(utf8);
    }

private:
    // AppendUtf8 written out here, where it runs once per decoded escape.
    void PutUtf8(char32_t c) {
        char bytes[4];
        std::size_t length;
        if (c < 0x80) {
            m_out += static_cast<char>(c);
            return;
        }
        if (c < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (c >> 6));
            length = 2;
        } else if (c < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            length = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            length = 4;
        }
        bytes[length - 1] = static_cast<char>(0x80 | (c & 0x3F));
        m_out.append(bytes, length);
    }

    void FlushPending() {
        if (m_pendingHigh != 0) {
            m_out += '?';
            m_pendingHigh = 0;
        }
    }

    void Unpaired(char32_t unit) {
        if (unit >= kRawByteBase + 0x80 && unit <= kRawByteBase + 0xFF) {
            m_out += static_cast<char>(unit - kRawByteBase);
        } else {
            m_out += '?';
        }
    }

    std::string m_out;
    char32_t m_pendingHigh = 0;
};

Text UnescapePercent(const Text& text) {
    std::string utf8 = GbkToUtf8(text);
    const auto* const begin = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = begin + utf8.size();
    const auto* p = begin;
    Utf16Writer writer(utf8.size());
    const auto* literal = p;
    while (p < end) {
        if (*p != '%' && *p != '\\') {
            ++p;
            continue;
        }
        writer.Literal(reinterpret_cast<const char*>(literal),
                       static_cast<std::size_t>(p - literal));
        const std::ptrdiff_t left = end - p;
        int unit = -1;
        int length = 0;
        if (left >= 6 && p[1] == 'u' && (unit = HexRun(p + 2, 4)) >= 0) {
            length = 6;
        } else if (left >= 3 && (unit = HexRun(p + 1, 2)) >= 0) {
            length = 3;
        }
        if (length == 0) {
            writer.Literal("%", 1);
            ++p;
        } else if (unit == 0) {
            literal = end;
            p = end;
            break;
        } else {
            writer.Unit(static_cast<char32_t>(unit));
            p += length;
        }
        literal = p;
    }
    writer.Literal(reinterpret_cast<const char*>(literal), static_cast<std::size_t>(end - literal));
    utf8.clear();
    utf8.shrink_to_fit();
    return writer.Finish();
}

Text DecodeReferences(const Text& text) {
    std::string utf8 = GbkToUtf8(text);
    const auto* const begin = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = begin + utf8.size();
    Utf16Writer writer(utf8.size());
    const auto* literal = begin;
    const auto* p = begin;
    while (p < end) {
        const void* hit = std::memchr(p, '&', static_cast<std::size_t>(end - p));
        if (hit == nullptr) {
            break;
        }
        p = static_cast<const unsigned char*>(hit);
        if (end - p < 3 || p[1] != '#') {
            ++p;
            continue;
        }
        const unsigned char* digits = p + 2;
        bool hexadecimal = false;
        if (*digits == 'x' && end - digits >= 2 && digits[1] != '&') {
            hexadecimal = true;
            ++digits;
        }
        if (*digits == '&') {
            ++p;
            continue;
        }
        // The digits part: up to five code units other than "&".
        char32_t units[5];
        int count = 0;
        bool splitPair = false;
        const unsigned char* q = digits;
        while (count < 5 && q < end && *q != '&') {
            if (*q < 0x80) {
                units[count++] = *q++;
                continue;
            }
            const Utf8Item item = ReadItem(q, end);
            if (item.codePoint >= 0x10000) {
                units[count++] = 0xD800 + ((item.codePoint - 0x10000) >> 10);
                if (count == 5) {
                    splitPair = true;
                    q += item.length;
                    break;
                }
                units[count++] = 0xDC00 + ((item.codePoint - 0x10000) & 0x3FF);
            } else {
                units[count++] = item.codePoint;
            }
            q += item.length;
        }
        if (!splitPair && q < end && *q == ';') {
            ++q;
        }
        writer.Literal(reinterpret_cast<const char*>(literal),
                       static_cast<std::size_t>(p - literal));
        const std::int64_t value = ParseReferenceNumber(units, count, hexadecimal);
        const char32_t code = ReferenceUnit(value);
        if (code == 0) {
            literal = end;
            break;
        }
        writer.Unit(code);
        if (splitPair) {
            writer.LoneUnit();
        }
        p = q;
        literal = q;
    }
    writer.Literal(reinterpret_cast<const char*>(literal), static_cast<std::size_t>(end - literal));
    utf8.clear();
    utf8.shrink_to_fit();
    return writer.Finish();
}

}  // namespace

std::optional<Text> EscapeConvertThroughUtf8(const Text& text, const Text& name,
                                             std::size_t maxResultBytes) {
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
