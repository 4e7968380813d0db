#pragma once

#include <random>

#include "core/Text.h"

namespace velmor {

// GBK text of CR LF lines whose length is drawn from [minimum, maximum] characters, about a
// third of them Chinese.
inline Text MakeBenchText(std::size_t bytes, int minimum, int maximum) {
    std::mt19937 random(936);
    Text text;
    text.reserve(bytes + 2 * maximum + 2);
    while (text.size() < bytes) {
        const int length = minimum + static_cast<int>(random() % (maximum - minimum + 1));
        for (int i = 0; i < length; ++i) {
            const unsigned pick = random() % 12;
            if (pick < 4) {
                text += static_cast<char>(0xB0 + random() % 40);
                text += static_cast<char>(0xA1 + random() % 94);
            } else if (pick == 4) {
                text += ' ';
            } else {
                text += static_cast<char>('a' + random() % 26);
            }
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace velmor
