#include "core/CodePage936.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/CodePage936Tables.h"

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

// Code page 936 code of every BMP code point: 0 when it has none (ASCII is handled apart),
// 0x80 for the euro sign, otherwise lead << 8 | trail.
const std::uint16_t* ReverseTable() {
    static const auto table = [] {
        auto codes = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        codes->fill(0);
        for (int i = 0; i < cp936::kLeadCount * kTrailSpan; ++i) {
            if (kTwoByte[i] != 0) {
                const int lead = kFirstLead + i / kTrailSpan;
                const int trail = kFirstTrail + i % kTrailSpan;
                (*codes)[kTwoByte[i]] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
        (*codes)[kEuro] = kEuroCode;
        return codes;
    }();
    return table->data();
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
        if (code == kEuroCode) {
            *out++ = static_cast<char>(code);
            return out;
        }
        if (code != 0) {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
            return out;
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

}  // namespace

// Every raw byte is either 0xFF, a lead byte followed by ASCII, 0xFF or the end, or one of the
// unmapped pairs (lead, 0x7F) and A2 E3. So no raw lead is ever followed by the continuation
// bytes it needs, and the encoder's strict UTF-8 reading copies raw bytes back unchanged.
std::string GbkToUtf8(std::string_view gbk) {
    std::string result;
    result.resize(gbk.size() * 3);
    const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
    const auto* const end = p + gbk.size();
    char* out = result.data();
    while (p < end) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & kHighBits) {
                break;
            }
            std::memcpy(out, &word, 8);
            out += 8;
            p += 8;
        }
        if (p == end) {
            break;
        }
        const unsigned char lead = *p;
        if (lead < 0x80) {
            *out++ = static_cast<char>(lead);
            ++p;
            continue;
        }
        if (lead == kEuroCode) {
            out = PutUtf8(out, kEuro);
            ++p;
            continue;
        }
        if (lead == 0xFF || end - p < 2) {
            *out++ = static_cast<char>(lead);
            ++p;
            continue;
        }
        const unsigned char trail = p[1];
        if (trail >= kFirstTrail && trail != 0xFF) {
            const char32_t cp = kTwoByte[(lead - kFirstLead) * kTrailSpan + (trail - kFirstTrail)];
            if (cp != 0) {
                out = PutUtf8(out, cp);
            } else {
                *out++ = static_cast<char>(lead);
                *out++ = static_cast<char>(trail);
            }
            p += 2;
            continue;
        }
        if (trail >= 0x30 && trail <= 0x39 && end - p >= 4 && p[2] >= 0x81 && p[2] <= 0xFE &&
            p[3] >= 0x30 && p[3] <= 0x39) {
            const std::uint32_t index =
                (((lead - 0x81) * 10u + (trail - 0x30)) * 126u + (p[2] - 0x81)) * 10u +
                (p[3] - 0x30);
            const char32_t cp = FourByteCodePoint(index);
            // Only the canonical code of a character decodes to it.
            if (cp != 0 && (cp >= 0x10000 || ReverseTable()[cp] == 0)) {
                out = PutUtf8(out, cp);
                p += 4;
                continue;
            }
        }
        *out++ = static_cast<char>(lead);
        ++p;
    }
    result.resize(out - result.data());
    return result;
}

Text Utf8ToGbk(std::string_view utf8) {
    const std::uint16_t* reverse = ReverseTable();
    Text result;
    result.resize(utf8.size() * 2);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    char* out = result.data();
    while (p < end) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & kHighBits) {
                break;
            }
            std::memcpy(out, &word, 8);
            out += 8;
            p += 8;
        }
        if (p == end) {
            break;
        }
        const unsigned char b = *p;
        const std::ptrdiff_t left = end - p;
        char32_t cp = 0;
        int length = 0;
        if (b < 0x80) {
            cp = b;
            length = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
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
        if (length == 0) {
            *out++ = static_cast<char>(b);
            ++p;
            continue;
        }
        p += length;
        out = PutCodePage(out, cp, reverse);
    }
    result.resize(out - result.data());
    return result;
}

std::string EncodeCodePoint(char32_t codePoint) {
    if (!IsScalarValue(codePoint)) {
        return {};
    }
    char buffer[4];
    char* end = PutCodePage(buffer, codePoint, ReverseTable());
    return std::string(buffer, end);
}

bool IsInCodePage936(char32_t codePoint) {
    if (codePoint < 0x80) {
        return true;
    }
    return codePoint < 0x10000 && IsScalarValue(codePoint) && ReverseTable()[codePoint] != 0;
}

}  // namespace velmor
