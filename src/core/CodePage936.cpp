#include "core/CodePage936.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/ByteBlocks.h"
#include "core/CodePage936Tables.h"
#include "core/LargeText.h"

namespace velmor {

namespace {

using cp936::kFirstLead;
using cp936::kFirstTrail;
using cp936::kFourByteBmpCount;
using cp936::kFourByteRangeCount;
using cp936::kFourByteRanges;
using cp936::kFourByteSupplementaryBase;
using cp936::kTrailSpan;
using cp936::kTwoByte;

constexpr std::uint16_t kEuroCode = 0x80;
constexpr char32_t kEuro = 0x20AC;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Table entries hold bytes in memory order and are stored with a single copy.
static_assert(std::endian::native == std::endian::little);

// Lookup tables derived from kTwoByte once, laid out so the hot loops copy whole entries.
struct DerivedTables {
    // Per BMP code point: 0 when it has no one- or two-byte code (ASCII is handled apart),
    // else the code's bytes in memory order (lead first); the euro sign is 0x80 alone.
    std::array<std::uint16_t, 0x10000> reverse{};
    // Per two-byte code, as kTwoByte: the UTF-8 bytes in memory order with their count in
    // the top byte; a code that decodes to nothing holds its own two bytes, kept raw.
    std::array<std::uint32_t, cp936::kLeadCount * kTrailSpan> utf8{};
};

std::uint16_t MemoryOrder(std::uint8_t first, std::uint8_t second) {
    std::uint16_t value;
    const std::uint8_t bytes[2] = {first, second};
    std::memcpy(&value, bytes, 2);
    return value;
}

const DerivedTables& Tables() {
    static const auto tables = [] {
        auto t = std::make_unique<DerivedTables>();
        for (int i = 0; i < cp936::kLeadCount * kTrailSpan; ++i) {
            const char32_t cp = kTwoByte[i];
            const auto lead = static_cast<std::uint8_t>(kFirstLead + i / kTrailSpan);
            const auto trail = static_cast<std::uint8_t>(kFirstTrail + i % kTrailSpan);
            std::uint8_t bytes[4] = {lead, trail, 0, 2};
            if (cp == 0) {
                std::memcpy(&t->utf8[i], bytes, 4);
                continue;
            }
            t->reverse[cp] = MemoryOrder(lead, trail);
            if (cp < 0x800) {
                bytes[0] = static_cast<std::uint8_t>(0xC0 | cp >> 6);
                bytes[1] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
                bytes[3] = 2;
            } else {
                bytes[0] = static_cast<std::uint8_t>(0xE0 | cp >> 12);
                bytes[1] = static_cast<std::uint8_t>(0x80 | (cp >> 6 & 0x3F));
                bytes[2] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
                bytes[3] = 3;
            }
            std::memcpy(&t->utf8[i], bytes, 4);
        }
        t->reverse[kEuro] = MemoryOrder(kEuroCode, 0);
        return t;
    }();
    return *tables;
}

bool IsScalarValue(char32_t cp) {
    return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

// The code point of the linear four-byte index, or 0 when the index names none.
char32_t FourByteCodePoint(std::uint32_t index) {
    if (index < kFourByteBmpCount) {
        const auto* range =
            std::upper_bound(kFourByteRanges, kFourByteRanges + kFourByteRangeCount, index,
                             [](std::uint32_t value, const cp936::FourByteRange& r) {
                                 return value < r.firstIndex;
                             });
        --range;
        return range->firstCodePoint + (index - range->firstIndex);
    }
    if (index >= kFourByteSupplementaryBase && index - kFourByteSupplementaryBase < 0x100000) {
        return 0x10000 + (index - kFourByteSupplementaryBase);
    }
    return 0;
}

// Linear four-byte index of a BMP code point that has no one- or two-byte code.
std::uint32_t BmpFourByteIndex(char32_t cp) {
    const auto* range = std::upper_bound(kFourByteRanges, kFourByteRanges + kFourByteRangeCount,
                                         static_cast<std::uint32_t>(cp),
                                         [](std::uint32_t value, const cp936::FourByteRange& r) {
                                             return value < r.firstCodePoint;
                                         });
    --range;
    return range->firstIndex + (cp - range->firstCodePoint);
}

char* PutUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | cp >> 6);
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | cp >> 12);
        *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | cp >> 18);
        *out++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Writes the code page bytes of a scalar value.
char* PutCodePage(char* out, char32_t cp, const std::uint16_t* reverse) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
        return out;
    }
    std::uint32_t index;
    if (cp < 0x10000) {
        const std::uint16_t code = reverse[cp];
        if (code != 0) {
            std::memcpy(out, &code, 2);
            return out + (static_cast<std::uint8_t>(code) == kEuroCode ? 1 : 2);
        }
        index = BmpFourByteIndex(cp);
    } else {
        index = kFourByteSupplementaryBase + (cp - 0x10000);
    }
    out[3] = static_cast<char>(0x30 + index % 10);
    index /= 10;
    out[2] = static_cast<char>(0x81 + index % 126);
    index /= 126;
    out[1] = static_cast<char>(0x30 + index % 10);
    out[0] = static_cast<char>(0x81 + index / 10);
    return out + 4;
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

bool IsLead(unsigned char b) {
    return b - 0x81u < 0x7Eu;
}

bool IsTwoByteTrail(unsigned char b) {
    return b - 0x40u < 0xBFu;
}

// Input is converted in chunks through a buffer on the stack, so the result is written once
// and never zero-filled in advance.
constexpr std::ptrdiff_t kChunk = 16 * 1024;

// Copies the run of ASCII bytes at p, sixteen at a time: each step copies all sixteen, which
// the output buffers have room for, and keeps those before the first other byte.
void CopyAscii(const unsigned char*& p, const unsigned char* limit, char*& out) {
    // Long runs, as in Latin-script lines, a block of 64 at a time.
    while (limit - p >= static_cast<std::ptrdiff_t>(kBlockBytes) &&
           HighByteMask(reinterpret_cast<const char*>(p)) == 0) {
        std::memcpy(out, p, kBlockBytes);
        p += kBlockBytes;
        out += kBlockBytes;
    }
    while (limit - p >= 16) {
        std::memcpy(out, p, 16);
        const std::size_t run = AsciiPrefix16(reinterpret_cast<const char*>(p));
        p += run;
        out += run;
        if (run < 16) {
            return;
        }
    }
    while (limit - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & kHighBits) {
            break;
        }
        std::memcpy(out, &word, 8);
        out += 8;
        p += 8;
    }
}

// The character of the four-byte code at p (a lead byte), or 0 when there is none.
char32_t FourByteCharacterAt(const unsigned char* p, const unsigned char* end,
                             const DerivedTables& tables) {
    if (end - p < 4 || p[1] < 0x30 || p[1] > 0x39 || !IsLead(p[2]) || p[3] < 0x30 || p[3] > 0x39) {
        return 0;
    }
    const std::uint32_t index =
        (((p[0] - 0x81) * 10u + (p[1] - 0x30)) * 126u + (p[2] - 0x81)) * 10u + (p[3] - 0x30);
    const char32_t cp = FourByteCodePoint(index);
    // Only the canonical code of a character decodes to it.
    return cp != 0 && (cp >= 0x10000 || tables.reverse[cp] == 0) ? cp : 0;
}

// Decodes the one item at p: a character, or the raw bytes of a code that decodes to none.
void DecodeOne(const unsigned char*& p, const unsigned char* end, char*& out,
               const DerivedTables& tables) {
    const unsigned char lead = *p;
    if (lead == kEuroCode) {
        out = PutUtf8(out, kEuro);
        ++p;
        return;
    }
    if (IsLead(lead) && end - p >= 2) {
        const unsigned char trail = p[1];
        if (IsTwoByteTrail(trail)) {
            const std::uint32_t entry =
                tables.utf8[(lead - kFirstLead) * kTrailSpan + (trail - kFirstTrail)];
            std::memcpy(out, &entry, 4);
            out += entry >> 24;
            p += 2;
            return;
        }
        if (const char32_t cp = FourByteCharacterAt(p, end, tables); cp != 0) {
            out = PutUtf8(out, cp);
            p += 4;
            return;
        }
    }
    *out++ = static_cast<char>(lead);
    ++p;
}

// Encodes the one item at p: a well-formed UTF-8 sequence, or a stray byte copied as it is.
void EncodeOne(const unsigned char*& p, const unsigned char* end, char*& out,
               const std::uint16_t* reverse) {
    const unsigned char b = *p;
    const std::ptrdiff_t left = end - p;
    char32_t cp = b;
    int length = 1;
    if (b >= 0xC2 && b <= 0xDF) {
        if (left >= 2 && IsContinuation(p[1])) {
            cp = (b & 0x1F) << 6 | (p[1] & 0x3F);
            length = 2;
        }
    } else if (b >= 0xE0 && b <= 0xEF) {
        const unsigned char low = b == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : 0xBF;
        if (left >= 3 && p[1] >= low && p[1] <= high && IsContinuation(p[2])) {
            cp = (b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            length = 3;
        }
    } else if (b >= 0xF0 && b <= 0xF4) {
        const unsigned char low = b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xF4 ? 0x8F : 0xBF;
        if (left >= 4 && p[1] >= low && p[1] <= high && IsContinuation(p[2]) &&
            IsContinuation(p[3])) {
            cp = (b & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            length = 4;
        }
    }
    p += length;
    if (length == 1) {
        *out++ = static_cast<char>(b);
    } else {
        out = PutCodePage(out, cp, reverse);
    }
}

}  // namespace

// Every raw byte is either 0xFF, a lead byte followed by ASCII, 0xFF or the end, or one of the
// unmapped pairs (lead, 0x7F) and A2 E3. So no raw lead is ever followed by the continuation
// bytes it needs, and the encoder's strict UTF-8 reading copies raw bytes back unchanged.
void GbkToUtf8Pieces(std::string_view gbk, const std::function<void(std::string_view)>& piece) {
    const DerivedTables& tables = Tables();
    const std::uint32_t* utf8Of = tables.utf8.data();
    // Three UTF-8 bytes per input byte at most, plus the spare byte of a four-byte store.
    char buffer[3 * (kChunk + 4) + 1];
    const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
    const auto* const end = p + gbk.size();
    while (p < end) {
        const auto* const limit = end - p > kChunk ? p + kChunk : end;
        char* out = buffer;
        while (p < limit) {
            CopyAscii(p, limit, out);
            while (limit - p >= 2 && IsLead(p[0]) && IsTwoByteTrail(p[1])) {
                const std::uint32_t entry =
                    utf8Of[(p[0] - kFirstLead) * kTrailSpan + (p[1] - kFirstTrail)];
                std::memcpy(out, &entry, 4);
                out += entry >> 24;
                p += 2;
            }
            if (p < limit) {
                DecodeOne(p, end, out, tables);
            }
        }
        piece(std::string_view(buffer, static_cast<std::size_t>(out - buffer)));
    }
}

std::string GbkToUtf8(std::string_view gbk) {
    std::string result;
    if (static_cast<std::ptrdiff_t>(gbk.size()) > kChunk) {
        ReserveLargeText(result, gbk.size() + gbk.size() / 2, gbk.size());
    }
    GbkToUtf8PiecesInParallel(gbk, [&result](std::string_view piece) { result += piece; });
    return result;
}

std::size_t Utf8ToGbkPart(std::string_view utf8, bool last, Text& out) {
    const std::uint16_t* reverse = Tables().reverse.data();
    // Two code page bytes per input byte at most (a two-byte sequence may need four).
    char buffer[2 * (kChunk + 4)];
    const auto* const begin = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = begin + utf8.size();
    // A sequence is read at most four bytes ahead, so one that starts before stop is read
    // exactly as it would be with the rest of the input behind it.
    const auto* const stop = last ? end : (utf8.size() > 3 ? end - 3 : begin);
    const auto* p = begin;
    while (p < stop) {
        const auto* const limit = stop - p > kChunk ? p + kChunk : stop;
        char* written = buffer;
        while (p < limit) {
            CopyAscii(p, limit, written);
            // Runs of three-byte characters with two-byte codes, the bulk of Chinese text.
            while (limit - p >= 3 && (p[0] & 0xF0) == 0xE0 && IsContinuation(p[1]) &&
                   IsContinuation(p[2])) {
                const char32_t cp = (p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
                if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) {
                    break;
                }
                const std::uint16_t code = reverse[cp];
                if (static_cast<std::uint8_t>(code) <= kEuroCode) {
                    break;
                }
                std::memcpy(written, &code, 2);
                written += 2;
                p += 3;
            }
            if (p < limit) {
                EncodeOne(p, end, written, reverse);
            }
        }
        out.append(buffer, static_cast<std::size_t>(written - buffer));
    }
    return static_cast<std::size_t>(p - begin);
}

void GbkToUtf8PiecesInParallel(std::string_view gbk,
                               const std::function<void(std::string_view)>& piece,
                               const PieceSplit& split) {
    const std::size_t pieceBytes = std::max<std::size_t>(split.minBytes, 1);
    const std::vector<std::size_t> ends =
        split.pieces > 1 ? LineFeedPieceEnds(gbk, {gbk.size() / pieceBytes + 1, pieceBytes})
                         : std::vector<std::size_t>{};
    if (ends.size() <= 1) {
        GbkToUtf8Pieces(gbk, piece);
        return;
    }
    // One buffer per thread, kept from batch to batch.
    std::vector<std::string> converted(std::min(split.pieces, ends.size()));
    for (std::size_t first = 0; first < ends.size(); first += converted.size()) {
        const std::size_t count = std::min(converted.size(), ends.size() - first);
        RunInParallel(count, [&](std::size_t k) {
            const std::size_t i = first + k;
            const std::size_t begin = i == 0 ? 0 : ends[i - 1];
            std::string& utf8 = converted[k];
            utf8.clear();
            GbkToUtf8Pieces(gbk.substr(begin, ends[i] - begin),
                            [&utf8](std::string_view part) { utf8 += part; });
        });
        for (std::size_t k = 0; k < count; ++k) {
            piece(converted[k]);
        }
    }
}

std::size_t Utf8ToGbkPartInParallel(std::string_view utf8, bool last, Text& out,
                                    const PieceSplit& split) {
    const std::vector<std::size_t> ends = LineFeedPieceEnds(utf8, split);
    if (ends.size() <= 1) {
        return Utf8ToGbkPart(utf8, last, out);
    }
    // The first piece goes straight into out; the others into their own buffers, appended
    // after. Every piece but the last ends on a line feed, which no sequence crosses.
    std::vector<Text> converted(ends.size());
    std::size_t lastUsed = 0;
    RunInParallel(ends.size(), [&](std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        const std::string_view part = utf8.substr(begin, ends[i] - begin);
        if (i > 0) {
            converted[i].reserve(part.size());
        }
        if (i + 1 == ends.size()) {
            lastUsed = Utf8ToGbkPart(part, last, converted[i]);
        } else {
            Utf8ToGbkPart(part, true, i == 0 ? out : converted[i]);
        }
    });
    for (std::size_t i = 1; i < ends.size(); ++i) {
        out += converted[i];
    }
    return ends[ends.size() - 2] + lastUsed;
}

Text Utf8ToGbk(std::string_view utf8) {
    Text result;
    if (static_cast<std::ptrdiff_t>(utf8.size()) > kChunk) {
        ReserveLargeText(result, utf8.size(), utf8.size() / 3 * 2);
    }
    Utf8ToGbkPart(utf8, true, result);
    return result;
}

std::string EncodeCodePoint(char32_t codePoint) {
    if (!IsScalarValue(codePoint)) {
        return {};
    }
    char buffer[4];
    char* end = PutCodePoint(buffer, codePoint);
    return std::string(buffer, end);
}

char* PutCodePoint(char* out, char32_t codePoint) {
    return PutCodePage(out, codePoint, Tables().reverse.data());
}

char32_t GbkFourByteCharacter(const unsigned char* p, const unsigned char* end) {
    return IsLead(*p) ? FourByteCharacterAt(p, end, Tables()) : 0;
}

static_assert(sizeof(wchar_t) == sizeof(char32_t));

std::wstring GbkToCodePoints(std::string_view gbk, std::vector<std::uint8_t>* byteLengths) {
    const DerivedTables& tables = Tables();
    std::wstring result;
    result.resize(gbk.size());
    if (byteLengths != nullptr) {
        byteLengths->resize(gbk.size());
    }
    wchar_t* out = result.data();
    std::uint8_t* lengths = byteLengths != nullptr ? byteLengths->data() : nullptr;
    const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
    const auto* const end = p + gbk.size();
    const auto put = [&](char32_t cp, std::uint8_t length) {
        *out++ = static_cast<wchar_t>(cp);
        if (lengths != nullptr) {
            *lengths++ = length;
        }
    };
    const auto raw = [](unsigned char b) { return b < 0x80 ? char32_t{b} : kRawByteBase + b; };
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            put(lead, 1);
            ++p;
        } else if (IsLead(lead) && end - p >= 2 && IsTwoByteTrail(p[1])) {
            const char32_t cp = kTwoByte[(lead - kFirstLead) * kTrailSpan + (p[1] - kFirstTrail)];
            if (cp != 0) {
                put(cp, 2);
            } else {
                put(raw(lead), 1);
                put(raw(p[1]), 1);
            }
            p += 2;
        } else if (lead == kEuroCode) {
            put(kEuro, 1);
            ++p;
        } else if (const char32_t cp = IsLead(lead) ? FourByteCharacterAt(p, end, tables) : 0;
                   cp != 0) {
            put(cp, 4);
            p += 4;
        } else {
            put(raw(lead), 1);
            ++p;
        }
    }
    result.resize(out - result.data());
    if (byteLengths != nullptr) {
        byteLengths->resize(result.size());
    }
    return result;
}

bool IsInCodePage936(char32_t codePoint) {
    if (codePoint < 0x80) {
        return true;
    }
    return codePoint < 0x10000 && IsScalarValue(codePoint) && Tables().reverse[codePoint] != 0;
}

std::size_t Utf8SizeOfGbk(std::string_view gbk) {
    const DerivedTables& tables = Tables();
    const std::uint32_t* utf8Of = tables.utf8.data();
    std::size_t size = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
    const auto* const end = p + gbk.size();
    while (p < end) {
        const auto* const asciiStart = p;
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & kHighBits) {
                break;
            }
            p += 8;
        }
        while (p < end && *p < 0x80) {
            ++p;
        }
        size += static_cast<std::size_t>(p - asciiStart);
        while (end - p >= 2 && IsLead(p[0]) && IsTwoByteTrail(p[1])) {
            size += utf8Of[(p[0] - kFirstLead) * kTrailSpan + (p[1] - kFirstTrail)] >> 24;
            p += 2;
        }
        if (p < end && *p >= 0x80) {
            char item[8];
            char* out = item;
            DecodeOne(p, end, out, tables);
            size += static_cast<std::size_t>(out - item);
        }
    }
    return size;
}

}  // namespace velmor
