#include "core/PieceMap.h"

namespace velmor {

std::size_t CharacterWalkRestart(std::string_view text) {
    std::size_t high = 0;
    while (high < text.size() && static_cast<unsigned char>(text[text.size() - 1 - high]) >= 0x80) {
        ++high;
    }
    return text.size() - (high & 1);
}

}  // namespace velmor
