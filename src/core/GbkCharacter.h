#pragma once

#include "core/CodePage936.h"
#include "core/CodePage936Tables.h"

namespace velmor {

// One character of code page 936 text as GbkToUtf8 and GbkToCodePoints read it, for walks
// over the bytes that need the characters without converting the text.

// The code point of a byte that starts no character.
inline char32_t RawUnit(unsigned char byte) {
    return byte < 0x80 ? char32_t{byte} : kRawByteBase + byte;
}

struct GbkCharacter {
    char32_t codePoint;
    int length;
    // A two-byte code that decodes to nothing: codePoint is the raw unit of its lead byte, and
    // its trail byte is a raw unit of its own.
    bool rawPair;
};

// The character at p, which is before end and not ASCII.
inline GbkCharacter ReadGbkCharacter(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = *p;
    const bool isLead = lead - 0x81u < 0x7Eu;
    if (isLead && end - p >= 2 && p[1] - 0x40u < 0xBFu) {
        const char32_t codePoint = cp936::kTwoByte[(lead - cp936::kFirstLead) * cp936::kTrailSpan +
                                                   (p[1] - cp936::kFirstTrail)];
        return codePoint != 0 ? GbkCharacter{codePoint, 2, false}
                              : GbkCharacter{RawUnit(lead), 2, true};
    }
    if (lead == 0x80) {
        return {0x20AC, 1, false};
    }
    if (const char32_t codePoint = isLead ? GbkFourByteCharacter(p, end) : 0; codePoint != 0) {
        return {codePoint, 4, false};
    }
    return {RawUnit(lead), 1, false};
}

}  // namespace velmor
