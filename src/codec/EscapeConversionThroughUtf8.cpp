#include "codec/EscapeConversionThroughUtf8.h"

#include <cstdint>
#include <cstring>
#include <string>

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

    // The low half of a character whose high half went into a reference: it pairs with a high
    // half decoded just before it, as any two units of a string do, or stands alone.
    void SplitLowHalf(char32_t low) {
        if (m_pendingHigh != 0) {
            PutUtf8(0x10000 + ((m_pendingHigh - 0xD800) << 10) + (low - 0xDC00));
            m_pendingHigh = 0;
            return;
        }
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

}  // namespace

Text UnescapePercentThroughUtf8(const Text& text) {
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

Text DecodeReferencesThroughUtf8(const Text& text) {
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
        bool hexadecimal = false;
        const unsigned char* const digits = DigitsPart(p, end, hexadecimal);
        if (digits == nullptr) {
            ++p;
            continue;
        }
        // The digits part: up to five code units other than "&".
        char32_t units[5];
        int count = 0;
        // The low half of a character split by the end of the part, 0 when none is.
        char32_t splitLow = 0;
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
                    splitLow = 0xDC00 + ((item.codePoint - 0x10000) & 0x3FF);
                    q += item.length;
                    break;
                }
                units[count++] = 0xDC00 + ((item.codePoint - 0x10000) & 0x3FF);
            } else {
                units[count++] = item.codePoint;
            }
            q += item.length;
        }
        if (splitLow == 0 && q < end && *q == ';') {
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
        if (splitLow != 0) {
            writer.SplitLowHalf(splitLow);
        }
        p = q;
        literal = q;
    }
    writer.Literal(reinterpret_cast<const char*>(literal), static_cast<std::size_t>(end - literal));
    utf8.clear();
    utf8.shrink_to_fit();
    return writer.Finish();
}

}  // namespace velmor
