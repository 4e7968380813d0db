#pragma once

#include <cstdint>

namespace velmor {

// The millisecond tick count used for seeding (the system's uptime counter in the window).
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual std::uint32_t Milliseconds() const = 0;
};

// The classic linear congruential generator behind RandomBetween, with the run-long seeding
// counter. One instance lives for the whole run.
class RandomGenerator {
public:
    explicit RandomGenerator(const TickSource& ticks) : m_ticks(ticks) {}

    // The state becomes seed.
    void SeedRandom(std::uint32_t seed);
    // The state becomes tick + counter; the counter then grows by ((tick + counter) mod 256)
    // + 100, so two seeds in the same millisecond differ.
    void SeedRandom();
    // lo + (r mod (hi - lo + 1)); negative bounds count as 0, bounds in either order.
    int RandomBetween(int minimum = 0, int maximum = 2147483647);

private:
    // r = (state / 65536) mod 32768 after one step.
    int Next();

    const TickSource& m_ticks;
    std::uint32_t m_state = 1;
    std::uint32_t m_counter = 0;
};

}  // namespace velmor
