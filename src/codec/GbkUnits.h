#pragma once

#include "core/GbkCharacter.h"

namespace velmor {

// Code page 936 text read as the UTF-16 code units GbkToUtf8 gives it, for the walks that
// work on those units without converting the text.

// Calls unit(u) for each code unit of the character at p (before end) and returns its end.
template <typename UnitFunction>
const unsigned char* ForCharacterUnits(const unsigned char* p, const unsigned char* end,
                                       UnitFunction& unit) {
    if (*p < 0x80) {
        unit(char32_t{*p});
        return p + 1;
    }
    const GbkCharacter character = ReadGbkCharacter(p, end);
    if (character.codePoint >= 0x10000) {
        const char32_t offset = character.codePoint - 0x10000;
        unit(0xD800 + (offset >> 10));
        unit(0xDC00 + (offset & 0x3FF));
    } else {
        unit(character.codePoint);
        if (character.rawPair) {
            unit(RawUnit(p[1]));
        }
    }
    return p + character.length;
}

}  // namespace velmor
