#include "core/Utf8.h"

#include <cstdint>

#include "core/ByteBlocks.h"
#include "core/Utf8Validation.h"

namespace velmor {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

Utf8Item ReadUtf8Item(const unsigned char* p, const unsigned char* end) {
    const unsigned char b = *p;
    const std::ptrdiff_t left = end - p;
    if (b < 0x80) {
        return {b, 1, true};
    }
    if (b >= 0xC2 && b <= 0xDF && left >= 2 && IsContinuation(p[1])) {
        return {static_cast<char32_t>((b & 0x1F) << 6 | (p[1] & 0x3F)), 2, true};
    }
    if (b >= 0xE0 && b <= 0xEF && left >= 3) {
        const unsigned char low = b == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : 0xBF;
        if (p[1] >= low && p[1] <= high && IsContinuation(p[2])) {
            return {static_cast<char32_t>((b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F)), 3,
                    true};
        }
    }
    if (b >= 0xF0 && b <= 0xF4 && left >= 4) {
        const unsigned char low = b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xF4 ? 0x8F : 0xBF;
        if (p[1] >= low && p[1] <= high && IsContinuation(p[2]) && IsContinuation(p[3])) {
            return {static_cast<char32_t>((b & 0x07) << 18 | (p[1] & 0x3F) << 12 |
                                          (p[2] & 0x3F) << 6 | (p[3] & 0x3F)),
                    4, true};
        }
    }
    return {b, 1, false};
}

bool DecodeUtf8(std::string_view utf8, std::vector<char32_t>& out) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const Utf8Item item = ReadUtf8Item(p, end);
        if (!item.wellFormed) {
            return false;
        }
        out.push_back(item.codePoint);
        p += item.length;
    }
    return true;
}

namespace {

// Checks [p, end) item by item from a character start; p ends on the first byte at or past
// stop that starts a character, or at end.
bool CheckItems(const unsigned char*& p, const unsigned char* stop, const unsigned char* end) {
    while (p < stop) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const Utf8Item item = ReadUtf8Item(p, end);
        if (!item.wellFormed) {
            return false;
        }
        p += item.length;
    }
    return true;
}

}  // namespace

namespace utf8_validation {

bool Blocks(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    // Blocks of 64 bytes are settled by masks where they hold only ASCII, continuation bytes
    // and the leads of two- and three-byte characters without range limits (C2–DF, E1–EC,
    // EE–EF), the whole of common Chinese text: then the text is valid exactly where the
    // continuation bytes are the ones the leads ask for. Other blocks go item by item.
    std::uint64_t carry = 0;
    std::ptrdiff_t back = 0;
    while (end - p >= static_cast<std::ptrdiff_t>(kBlockBytes)) {
        const char* block = reinterpret_cast<const char*>(p);
        const std::uint64_t high = HighByteMask(block);
        if (high == 0 && carry == 0) {
            p += kBlockBytes;
            continue;
        }
        // The range masks keep to one side of 0x80, so 0x80 itself is asked for apart.
        const std::uint64_t continuation =
            ByteRangeMask(block, static_cast<char>(0x81), static_cast<char>(0xBF)) |
            ByteEqualMask(block, static_cast<char>(0x80));
        const std::uint64_t lead2 =
            ByteRangeMask(block, static_cast<char>(0xC2), static_cast<char>(0xDF));
        const std::uint64_t lead3 =
            ByteRangeMask(block, static_cast<char>(0xE1), static_cast<char>(0xEC)) |
            ByteRangeMask(block, static_cast<char>(0xEE), static_cast<char>(0xEF));
        if ((high & ~(continuation | lead2 | lead3)) != 0) {
            p -= back;
            if (!CheckItems(p, p + back + kBlockBytes, end)) {
                return false;
            }
            carry = 0;
            back = 0;
            continue;
        }
        const std::uint64_t wanted = (lead2 | lead3) << 1 | lead3 << 2 | carry;
        if (continuation != wanted) {
            return false;
        }
        carry = (lead2 | lead3) >> 63 | lead3 >> 62;
        back = ((lead2 | lead3) >> 63) != 0 ? 1 : (lead3 >> 62) != 0 ? 2 : 0;
        p += kBlockBytes;
    }
    p -= back;
    return CheckItems(p, end, end);
}

}  // namespace utf8_validation

bool IsWellFormedUtf8(std::string_view utf8) {
    using Check = bool (*)(std::string_view);
    static const Check widest = utf8_validation::HasAvx512()  ? utf8_validation::Avx512
                                : utf8_validation::HasAvx2()  ? utf8_validation::Avx2
                                : utf8_validation::HasSsse3() ? utf8_validation::Ssse3
                                                              : utf8_validation::Blocks;
    return widest(utf8);
}

}  // namespace velmor
