#include "codec/EscapeDecoding.h"

#include <cstdint>
#include <cstring>
#include <optional>

#include "codec/EscapeConversionThroughUtf8.h"
#include "codec/EscapeReading.h"
#include "codec/GbkUnits.h"
#include "core/ByteBlocks.h"
#include "core/LargeText.h"

namespace velmor {

namespace {

using namespace escape_reading;

// Literal text is copied as it stands and each decoded code unit is written as its code page
// bytes, which is what converting to UTF-8 and back gives, with one exception: a decoded raw
// byte (an unpaired 0xDC80 to 0xDCFF) may join raw bytes beside it into a UTF-8 sequence on
// the way back. A text that decodes one is converted through UTF-8 instead.
class GbkUnitWriter {
public:
    explicit GbkUnitWriter(std::size_t capacity) {
        // How much a decoding will write is unknown until it is done.
        ReserveLargeText(m_out, capacity, 0);
    }

    // False for a raw byte, which this writer cannot take.
    [[nodiscard]] bool Unit(char32_t unit) {
        if (m_pendingHigh != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                Put(0x10000 + ((m_pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
                m_pendingHigh = 0;
                return true;
            }
            FlushPending();
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            m_pendingHigh = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (unit >= kRawByteBase + 0x80) {
                return false;
            }
            Put('?');
        } else {
            Put(unit);
        }
        return true;
    }

    void Literal(const char* bytes, std::size_t length) {
        if (length == 0) {
            return;
        }
        FlushPending();
        if (length <= kShortLiteral) {
            if (m_staged + length > sizeof m_stage) {
                Flush();
            }
            std::memcpy(m_stage + m_staged, bytes, length);
            m_staged += length;
        } else {
            Flush();
            m_out.append(bytes, length);
        }
    }

    // The low half of a character whose high half went into a reference: it pairs with a high
    // half decoded just before it, as any two units of a string do, or stands alone.
    void SplitLowHalf(char32_t low) {
        if (m_pendingHigh != 0) {
            Put(0x10000 + ((m_pendingHigh - 0xD800) << 10) + (low - 0xDC00));
            m_pendingHigh = 0;
            return;
        }
        Put('?');
    }

    Text Finish() {
        FlushPending();
        Flush();
        return std::move(m_out);
    }

private:
    static constexpr std::size_t kShortLiteral = 256;

    void Put(char32_t codePoint) {
        if (m_staged > sizeof m_stage - 4) {
            Flush();
        }
        if (codePoint < 0x80) {
            m_stage[m_staged++] = static_cast<char>(codePoint);
        } else {
            m_staged =
                static_cast<std::size_t>(PutCodePoint(m_stage + m_staged, codePoint) - m_stage);
        }
    }

    void FlushPending() {
        if (m_pendingHigh != 0) {
            Put('?');
            m_pendingHigh = 0;
        }
    }

    void Flush() {
        m_out.append(m_stage, m_staged);
        m_staged = 0;
    }

    Text m_out;
    char32_t m_pendingHigh = 0;
    std::size_t m_staged = 0;
    char m_stage[1 << 14];
};

// A decoded escape never takes more bytes than it had, but "%XX" may give four.
std::size_t DecodedCapacity(const Text& text) {
    return text.size() + text.size() / 3 + 16;
}

// The bytes of a small set in a text, found from a position that only moves forward, a block
// of 64 bytes at a time.
template <std::uint64_t (*mask)(const char*)>
class ByteFinder {
public:
    ByteFinder(const char* begin, const char* end) : m_end(end) { Load(begin); }

    // The first byte of the set at or after from, or end.
    const char* Next(const char* from) {
        while (from < m_end) {
            if (from >= m_blockEnd) {
                Load(from);
            }
            const std::uint64_t found = m_mask & (~std::uint64_t{0} << (from - m_block));
            if (found != 0) {
                return m_block + LowestBit(found);
            }
            from = m_blockEnd;
        }
        return m_end;
    }

private:
    void Load(const char* at) {
        const auto size = static_cast<std::size_t>(m_end - at);
        m_block = at;
        if (size >= kBlockBytes) {
            m_blockEnd = at + kBlockBytes;
            m_mask = mask(at);
            return;
        }
        // The zero bytes after the end of the text belong to no set searched for.
        char tail[kBlockBytes] = {};
        std::memcpy(tail, at, size);
        m_blockEnd = m_end;
        m_mask = mask(tail);
    }

    const char* const m_end;
    const char* m_block = nullptr;
    const char* m_blockEnd = nullptr;
    std::uint64_t m_mask = 0;
};

std::uint64_t PercentOrBackslash(const char* block) {
    return ByteEqualMask(block, '%') | ByteEqualMask(block, '\\');
}

std::uint64_t Ampersand(const char* block) {
    return ByteEqualMask(block, '&');
}

// Whether the backslash at p is the trail byte of a two-byte code; from is a character start
// before it. Before a byte of 0x81 to 0xFE any byte but the second of a four-byte code ends a
// character, and such a code cannot end in the run of those bytes before p. So the run starts
// a character, pairs up from there, and leaves p a trail exactly when it is odd.
bool IsTrailByte(const char* from, const char* p) {
    const char* q = p;
    while (q > from && static_cast<unsigned char>(q[-1]) - 0x81u < 0x7Eu) {
        --q;
    }
    return (p - q) % 2 == 1;
}

std::optional<Text> UnescapePercentDirect(const Text& text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    GbkUnitWriter writer(DecodedCapacity(text));
    ByteFinder<PercentOrBackslash> finder(begin, end);
    const char* literal = begin;
    for (const char* p = finder.Next(begin); p < end; p = finder.Next(p)) {
        if (*p == '\\' && IsTrailByte(literal, p)) {
            ++p;
            continue;
        }
        writer.Literal(literal, static_cast<std::size_t>(p - literal));
        const auto* const at = reinterpret_cast<const unsigned char*>(p);
        const std::ptrdiff_t left = end - p;
        int unit = -1;
        int length = 0;
        if (left >= 6 && at[1] == 'u' && (unit = HexRun(at + 2, 4)) >= 0) {
            length = 6;
        } else if (left >= 3 && (unit = HexRun(at + 1, 2)) >= 0) {
            length = 3;
        }
        if (length == 0) {
            writer.Literal("%", 1);
            ++p;
        } else if (unit == 0) {
            return writer.Finish();
        } else {
            if (!writer.Unit(static_cast<char32_t>(unit))) {
                return std::nullopt;
            }
            p += length;
        }
        literal = p;
    }
    writer.Literal(literal, static_cast<std::size_t>(end - literal));
    return writer.Finish();
}

std::optional<Text> DecodeReferencesDirect(const Text& text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    GbkUnitWriter writer(DecodedCapacity(text));
    ByteFinder<Ampersand> finder(begin, end);
    const char* literal = begin;
    for (const char* p = finder.Next(begin); p < end; p = finder.Next(p)) {
        const auto* const stop = reinterpret_cast<const unsigned char*>(end);
        bool hexadecimal = false;
        const unsigned char* const digits =
            DigitsPart(reinterpret_cast<const unsigned char*>(p), stop, hexadecimal);
        if (digits == nullptr) {
            ++p;
            continue;
        }
        // The digits part: up to five code units other than "&". No "&" is ever part of a
        // character, so the search needs no character starts; this part does.
        char32_t units[5];
        int count = 0;
        // The low half of a character split by the end of the part, 0 when none is.
        char32_t splitLow = 0;
        const unsigned char* q = digits;
        while (count < 5 && q < stop && *q != '&') {
            if (*q < 0x80) {
                units[count++] = *q++;
                continue;
            }
            const GbkCharacter character = ReadGbkCharacter(q, stop);
            if (character.rawPair) {
                units[count++] = character.codePoint;
                ++q;
                if (count < 5) {
                    units[count++] = RawUnit(*q++);
                }
                continue;
            }
            if (character.codePoint >= 0x10000) {
                const char32_t offset = character.codePoint - 0x10000;
                units[count++] = 0xD800 + (offset >> 10);
                if (count == 5) {
                    splitLow = 0xDC00 + (offset & 0x3FF);
                    q += character.length;
                    break;
                }
                units[count++] = 0xDC00 + (offset & 0x3FF);
            } else {
                units[count++] = character.codePoint;
            }
            q += character.length;
        }
        if (splitLow == 0 && q < stop && *q == ';') {
            ++q;
        }
        writer.Literal(literal, static_cast<std::size_t>(p - literal));
        const char32_t code = ReferenceUnit(ParseReferenceNumber(units, count, hexadecimal));
        if (code == 0) {
            return writer.Finish();
        }
        if (!writer.Unit(code)) {
            return std::nullopt;
        }
        if (splitLow != 0) {
            writer.SplitLowHalf(splitLow);
        }
        p = reinterpret_cast<const char*>(q);
        literal = p;
    }
    writer.Literal(literal, static_cast<std::size_t>(end - literal));
    return writer.Finish();
}

}  // namespace

Text UnescapePercent(const Text& text) {
    if (std::optional<Text> result = UnescapePercentDirect(text)) {
        return std::move(*result);
    }
    return UnescapePercentThroughUtf8(text);
}

Text DecodeReferences(const Text& text) {
    if (std::optional<Text> result = DecodeReferencesDirect(text)) {
        return std::move(*result);
    }
    return DecodeReferencesThroughUtf8(text);
}

}  // namespace velmor
