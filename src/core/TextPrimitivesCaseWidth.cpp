#include <algorithm>
#include <cstring>

#include "core/ByteBlocks.h"
#include "core/LargeText.h"
#include "core/TextPrimitives.h"

namespace velmor {

namespace {

inline bool IsHigh(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// Writes the length bytes at in to out with delta added to each one-byte character from low
// to high; out is in itself or a buffer of its own. Only ASCII bytes change, and a byte below
// 0x80 is a trail byte exactly when the lead bytes of its block put it there. In place, a block
// without such a character is not written.
void ShiftLetters(const char* in, char* out, std::size_t length, char low, char high, char delta) {
    const bool inPlace = in == out;
    bool trailFirst = false;
    std::size_t i = 0;
    for (; i + kBlockBytes <= length; i += kBlockBytes) {
        const char* block = in + i;
        char* written = out + i;
        const std::uint64_t high80 = HighByteMask(block);
        const bool enteredOnTrail = trailFirst;
        const std::uint64_t leads = LeadMask(high80, trailFirst);
        const std::uint64_t shifted = inPlace
                                          ? ShiftBytesInRange(written, low, high, delta)
                                          : ShiftBytesInRangeTo(block, written, low, high, delta);
        for (std::uint64_t wrong = shifted & TrailMask(leads, enteredOnTrail); wrong != 0;
             wrong &= wrong - 1) {
            char& trail = written[LowestBit(wrong)];
            trail = static_cast<char>(trail - delta);
        }
    }
    if (trailFirst && i < length) {
        out[i] = in[i];
        ++i;
    }
    for (; i < length; ++i) {
        const char c = in[i];
        if (IsHigh(c)) {
            out[i] = c;
            if (++i < length) {
                out[i] = in[i];
            }
        } else {
            out[i] = c >= low && c <= high ? static_cast<char>(c + delta) : c;
        }
    }
}

// The one byte a double-byte character becomes at half width, or 0 when it stays.
inline char HalfWidthOf(unsigned char lead, unsigned char trail) {
    if (lead == 0xA1) {
        if (trail == 0xA1) {
            return ' ';
        }
        if (trail == 0xAB) {
            return '~';
        }
        if (trail == 0xEE || trail == 0xEF) {
            return '*';
        }
    } else if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        return static_cast<char>(trail - 0x80);
    }
    return 0;
}

// The leads among leads of the block whose characters HalfWidthOf changes; the trail of the
// last may be the byte past the block, which must exist.
inline std::uint64_t ChangingLeads(const char* block, std::uint64_t leads) {
#if defined(__SSE2__)
    // The pairs compared sixteen at a time, one mask per sixteen.
    using namespace sse2_blocks;
    __m128i changing[4];
    for (int part = 0; part < 4; ++part) {
        const __m128i lead = Load(block, part);
        const __m128i trail = Load(block + 1, part);
        const __m128i a3 = _mm_and_si128(_mm_cmpeq_epi8(lead, _mm_set1_epi8('\xA3')),
                                         InRange(trail, '\xA1', '\xFE'));
        const __m128i a1Trails =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(trail, _mm_set1_epi8('\xA1')),
                                      _mm_cmpeq_epi8(trail, _mm_set1_epi8('\xAB'))),
                         InRange(trail, '\xEE', '\xEF'));
        const __m128i a1 = _mm_and_si128(_mm_cmpeq_epi8(lead, _mm_set1_epi8('\xA1')), a1Trails);
        changing[part] = _mm_or_si128(a3, a1);
    }
    return leads & Gather(changing[0], changing[1], changing[2], changing[3]);
#else
    const std::uint64_t a1 = leads & ByteEqualMask(block, '\xA1');
    const std::uint64_t a3 = leads & ByteEqualMask(block, '\xA3');
    if ((a1 | a3) == 0) {
        return 0;
    }
    const char* const trails = block + 1;
    return (a3 & ByteRangeMask(trails, '\xA1', '\xFE')) |
           (a1 & (ByteEqualMask(trails, '\xA1') | ByteEqualMask(trails, '\xAB') |
                  ByteRangeMask(trails, '\xEE', '\xEF')));
#endif
}

// Writes the character at read (a character start, with its trail byte present) at write,
// which lies at or before read; returns the new write position.
inline std::size_t PutHalfWidth(char* data, std::size_t read, std::size_t write) {
    const char lead = data[read];
    const char trail = data[read + 1];
    const char half =
        HalfWidthOf(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    if (half != 0) {
        data[write] = half;
        return write + 1;
    }
    data[write] = lead;
    data[write + 1] = trail;
    return write + 2;
}

inline bool IsPrintableAscii(char c) {
    return c >= 0x20 && c <= 0x7E;
}

// Writes the full-width form of the one-byte character c.
inline char* PutFullWidth(char c, char* out) {
    if (c == ' ') {
        *out++ = '\xA1';
        *out++ = '\xA1';
    } else if (c == '~') {
        *out++ = '\xA1';
        *out++ = '\xAB';
    } else if (IsPrintableAscii(c)) {
        *out++ = '\xA3';
        *out++ = static_cast<char>(c + 0x80);
    } else {
        *out++ = c;
    }
    return out;
}

// Writes the full-width form of 16 printable ASCII bytes: 32 bytes at out.
inline void PutFullWidthPrintable16(const char* in, char* out) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i space = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
    const __m128i tilde = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('~'));
    // A3 xx for most, A1 A1 for the space (A0 + 1) and A1 AB for "~" (FE ^ 55).
    const __m128i lead = _mm_xor_si128(_mm_set1_epi8('\xA3'),
                                       _mm_and_si128(_mm_or_si128(space, tilde), _mm_set1_epi8(2)));
    __m128i trail = _mm_add_epi8(bytes, _mm_set1_epi8('\x80'));
    trail = _mm_add_epi8(trail, _mm_and_si128(space, _mm_set1_epi8(1)));
    trail = _mm_xor_si128(trail, _mm_and_si128(tilde, _mm_set1_epi8(0x55)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(lead, trail));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out) + 1, _mm_unpackhi_epi8(lead, trail));
#else
    for (int i = 0; i < 16; ++i) {
        out = PutFullWidth(in[i], out);
    }
#endif
}

inline bool AllPrintable16(const char* in) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    return _mm_movemask_epi8(sse2_blocks::InRange(bytes, 0x20, 0x7E)) == 0xFFFF;
#else
    for (int i = 0; i < 16; ++i) {
        if (!IsPrintableAscii(in[i])) {
            return false;
        }
    }
    return true;
#endif
}

void ShiftLettersInParallel(std::string_view text, char* out, char low, char high, char delta,
                            const PieceSplit& split) {
    ForEachPieceInParallel(LineFeedPieceEnds(text, split), [&](std::size_t begin, std::size_t end) {
        ShiftLetters(text.data() + begin, out + begin, end - begin, low, high, delta);
    });
}

// Writes the half-width form of the length bytes at data over them; returns its length.
std::size_t HalfWidthWithin(char* data, std::size_t length);
// The same from in to out, which has room for length bytes.
std::size_t HalfWidthTo(const char* in, std::size_t length, char* out);

}  // namespace

void UpperInPlace(Text& text, const PieceSplit& split) {
    WriteUpper(text, text.data(), split);
}

void LowerInPlace(Text& text, const PieceSplit& split) {
    WriteLower(text, text.data(), split);
}

void WriteUpper(std::string_view text, char* out, const PieceSplit& split) {
    ShiftLettersInParallel(text, out, 'a', 'z', -0x20, split);
}

void WriteLower(std::string_view text, char* out, const PieceSplit& split) {
    ShiftLettersInParallel(text, out, 'A', 'Z', 0x20, split);
}

Text TextUpper(const Text& text) {
    Text result = text;
    UpperInPlace(result);
    return result;
}

Text TextLower(const Text& text) {
    Text result = text;
    LowerInPlace(result);
    return result;
}

void HalfWidthInPlace(Text& text, const PieceSplit& split) {
    text.resize(WriteHalfWidth(text, text.data(), split));
}

std::size_t WriteHalfWidth(std::string_view text, char* out, const PieceSplit& split) {
    const std::vector<std::size_t> ends = LineFeedPieceEnds(text, split);
    std::vector<std::size_t> lengths(ends.size());
    char* data = out;
    RunInParallel(ends.size(), [&](std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        lengths[i] = out == text.data()
                         ? HalfWidthWithin(data + begin, ends[i] - begin)
                         : HalfWidthTo(text.data() + begin, ends[i] - begin, data + begin);
    });
    // Each piece shrank where it lies; they close up from the front.
    std::size_t write = lengths.empty() ? 0 : lengths[0];
    for (std::size_t i = 1; i < ends.size(); ++i) {
        std::memmove(data + write, data + ends[i - 1], lengths[i]);
        write += lengths[i];
    }
    return write;
}

namespace {

std::size_t HalfWidthWithin(char* data, std::size_t length) {
    // Bytes from read to the scan are kept as they are; they move up as one run when a
    // character that changes (or the end) is reached.
    std::size_t read = 0;
    std::size_t write = 0;
    const auto keepUpTo = [&](std::size_t end) {
        if (write != read) {
            std::memmove(data + write, data + read, end - read);
        }
        write += end - read;
        read = end;
    };
    // Each block starts at a character start, and one byte past it exists, so a lead byte at
    // its end has its trail.
    std::size_t scan = 0;
    while (scan + kBlockBytes < length) {
        const std::size_t base = scan;
        const char* block = data + base;
        bool endsOnLead = false;
        const std::uint64_t leads = LeadMask(HighByteMask(block), endsOnLead);
        // The last character that changes may end one byte past the block.
        for (std::uint64_t changing = ChangingLeads(block, leads); changing != 0;
             changing &= changing - 1) {
            const std::size_t lead = base + LowestBit(changing);
            keepUpTo(lead);
            data[write++] = HalfWidthOf(static_cast<unsigned char>(data[lead]),
                                        static_cast<unsigned char>(data[lead + 1]));
            read = lead + 2;
        }
        scan = std::max(read, base + kBlockBytes - (endsOnLead ? 1 : 0));
    }
    keepUpTo(scan);
    while (read < length) {
        if (!IsHigh(data[read])) {
            data[write++] = data[read++];
        } else if (read + 1 < length) {
            write = PutHalfWidth(data, read, write);
            read += 2;
        } else {
            break;
        }
    }
    return write;
}

// Copies a short run sixteen bytes at a time, up to fifteen bytes past its end either side.
inline void CopyShortRun(const char* in, char* out, std::size_t count) {
    if (count > kBlockBytes) {
        std::memcpy(out, in, count);
        return;
    }
    for (std::size_t i = 0; i < count; i += 16) {
        std::memcpy(out + i, in + i, 16);
    }
}

// Whether a block holds the byte A1 or A3 anywhere: those with A3 once bit 1 is set.
inline bool HoldsA1OrA3(const char* block) {
#if defined(__SSE2__)
    const __m128i two = _mm_set1_epi8(2);
    const __m128i a3 = _mm_set1_epi8('\xA3');
    __m128i found = _mm_setzero_si128();
    for (int part = 0; part < 4; ++part) {
        const __m128i bytes = sse2_blocks::Load(block, part);
        found = _mm_or_si128(found, _mm_cmpeq_epi8(_mm_or_si128(bytes, two), a3));
    }
    return _mm_movemask_epi8(found) != 0;
#else
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        if ((block[i] | 2) == '\xA3') {
            return true;
        }
    }
    return false;
#endif
}

std::size_t HalfWidthTo(const char* in, std::size_t length, char* out) {
    // Kept runs are copied when a changing character is reached. Blocks follow each other with
    // the walk carried across (a changing character at a block's end takes the next block's
    // first byte), and a block without A1 or A3 holds no changing character. The output never
    // runs ahead of the input, so while sixteen bytes remain past a block and the trail of its
    // last character, the short copies stay within both.
    std::size_t read = 0;
    std::size_t write = 0;
    bool trailFirst = false;
    std::size_t base = 0;
    for (; base + kBlockBytes + 17 <= length; base += kBlockBytes) {
        const char* block = in + base;
        const std::uint64_t leads = LeadMask(HighByteMask(block), trailFirst);
        if (!HoldsA1OrA3(block)) {
            continue;
        }
        for (std::uint64_t changing = ChangingLeads(block, leads); changing != 0;
             changing &= changing - 1) {
            const std::size_t lead = base + LowestBit(changing);
            CopyShortRun(in + read, out + write, lead - read);
            write += lead - read;
            out[write++] = HalfWidthOf(static_cast<unsigned char>(in[lead]),
                                       static_cast<unsigned char>(in[lead + 1]));
            read = lead + 2;
        }
    }
    if (read < base) {
        std::memcpy(out + write, in + read, base - read);
        write += base - read;
        read = base;
        // The trail of a kept character that began in the last block.
        if (trailFirst) {
            out[write++] = in[read++];
        }
    }
    while (read < length) {
        const char c = in[read];
        if (!IsHigh(c)) {
            out[write++] = c;
            ++read;
        } else if (read + 1 < length) {
            const char half = HalfWidthOf(static_cast<unsigned char>(c),
                                          static_cast<unsigned char>(in[read + 1]));
            if (half != 0) {
                out[write++] = half;
            } else {
                out[write++] = c;
                out[write++] = in[read + 1];
            }
            read += 2;
        } else {
            break;
        }
    }
    return write;
}

}  // namespace

Text TextHalfWidth(const Text& text) {
    Text result = text;
    HalfWidthInPlace(result);
    return result;
}

std::size_t FullWidthLength(std::string_view text) {
    const char* data = text.data();
    const std::size_t length = text.size();
    std::size_t widened = 0;
    bool trailFirst = false;
    std::size_t i = 0;
    for (; i + kBlockBytes <= length; i += kBlockBytes) {
        const char* block = data + i;
        const bool enteredOnTrail = trailFirst;
        const std::uint64_t leads = LeadMask(HighByteMask(block), trailFirst);
        const std::uint64_t printable = ByteRangeMask(block, 0x20, 0x7E);
        widened +=
            static_cast<std::size_t>(BitCount(printable & ~TrailMask(leads, enteredOnTrail)));
    }
    if (trailFirst && i == length) {
        return length + widened - 1;
    }
    for (i += trailFirst ? 1 : 0; i < length; ++i) {
        if (IsHigh(data[i])) {
            if (i + 1 == length) {
                return length + widened - 1;
            }
            ++i;
        } else if (IsPrintableAscii(data[i])) {
            ++widened;
        }
    }
    return length + widened;
}

char* WriteFullWidth(std::string_view text, char* out) {
    const char* data = text.data();
    const std::size_t length = text.size();
    std::size_t i = 0;
    // i is always a character start; a lead byte at the end of a piece takes the byte after.
    while (i + 16 < length) {
        if (AllPrintable16(data + i)) {
            PutFullWidthPrintable16(data + i, out);
            out += 32;
            i += 16;
            continue;
        }
        for (const std::size_t end = i + 16; i < end;) {
            if (IsHigh(data[i])) {
                *out++ = data[i];
                *out++ = data[i + 1];
                i += 2;
            } else {
                out = PutFullWidth(data[i++], out);
            }
        }
    }
    while (i < length) {
        if (IsHigh(data[i])) {
            if (i + 1 == length) {
                break;
            }
            *out++ = data[i];
            *out++ = data[i + 1];
            i += 2;
        } else {
            out = PutFullWidth(data[i++], out);
        }
    }
    return out;
}

std::optional<Text> FullWidthWithin(std::string_view text, std::size_t maxBytes,
                                    const PieceSplit& split) {
    const std::vector<std::size_t> ends = LineFeedPieceEnds(text, split);
    std::vector<std::size_t> starts(ends.size() + 1, 0);
    RunInParallel(ends.size(), [&](std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        starts[i + 1] = FullWidthLength(text.substr(begin, ends[i] - begin));
    });
    for (std::size_t i = 1; i < starts.size(); ++i) {
        starts[i] += starts[i - 1];
    }
    if (starts.back() > maxBytes) {
        return std::nullopt;
    }
    Text result;
    ResizeLargeText(result, starts.back());
    char* out = result.data();
    RunInParallel(ends.size(), [&](std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        WriteFullWidth(text.substr(begin, ends[i] - begin), out + starts[i]);
    });
    return result;
}

Text TextFullWidth(const Text& text) {
    return *FullWidthWithin(text, text.max_size());
}

}  // namespace velmor
