#pragma once

#include <random>

#include "core/CodePage936.h"

namespace velmor::test {

// Random text of characters code page 936 holds: ASCII, the common ideographs, anything of
// the basic plane outside the surrogates, and four-byte characters beyond it.
inline Text RandomValidText(std::mt19937& random, int characters) {
    Text text;
    for (int k = 0; k < characters; ++k) {
        const unsigned roll = random() % 10;
        char32_t codePoint;
        if (roll < 4) {
            codePoint = 1 + random() % 0x7F;
        } else if (roll < 8) {
            codePoint = 0x4E00 + random() % (0x9FA5 - 0x4E00);
        } else if (roll < 9) {
            codePoint = 0x80 + random() % (0xD800 - 0x80);
        } else {
            codePoint = 0x10000 + random() % 0x20000;
        }
        text += EncodeCodePoint(codePoint);
    }
    return text;
}

}  // namespace velmor::test
