#include "generate/SecureDraw.h"

namespace velmor {

std::uint32_t SecureDraw::NextWord() {
    if (m_used + 4 > sizeof m_block) {
        m_source.Fill(m_block, sizeof m_block);
        m_used = 0;
    }
    const unsigned char* word = m_block + m_used;
    m_used += 4;
    return std::uint32_t{word[0]} | std::uint32_t{word[1]} << 8 | std::uint32_t{word[2]} << 16 |
           std::uint32_t{word[3]} << 24;
}

std::uint32_t SecureDraw::Below(std::uint32_t bound) {
    // Words at or above the largest multiple of bound would favour the low values: draw again.
    const std::uint64_t words = std::uint64_t{1} << 32;
    const std::uint64_t accepted = words - words % bound;
    for (;;) {
        const std::uint32_t word = NextWord();
        if (word < accepted) {
            return word % bound;
        }
    }
}

std::int64_t SecureDraw::Between(std::int64_t lo, std::int64_t hi) {
    return lo + Below(static_cast<std::uint32_t>(hi - lo + 1));
}

}  // namespace velmor
