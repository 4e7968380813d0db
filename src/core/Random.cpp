#include "core/Random.h"

#include <algorithm>

namespace velmor {

void RandomGenerator::SeedRandom(std::uint32_t seed) {
    m_state = seed;
}

void RandomGenerator::SeedRandom() {
    const std::uint32_t seed = m_ticks.Milliseconds() + m_counter;
    m_state = seed;
    m_counter += seed % 256 + 100;
}

int RandomGenerator::Next() {
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFF);
}

int RandomGenerator::RandomBetween(int minimum, int maximum) {
    const std::int64_t a = std::max(minimum, 0);
    const std::int64_t b = std::max(maximum, 0);
    const std::int64_t lo = std::min(a, b);
    const std::int64_t hi = std::max(a, b);
    if (lo == hi) {
        return static_cast<int>(lo);
    }
    return static_cast<int>(lo + Next() % (hi - lo + 1));
}

}  // namespace velmor
