#pragma once

#include <cstdint>

#include "core/Services.h"

namespace velmor::test {

// A budget with plenty of memory whose editor holds at most largestText bytes: the result
// limit of a run is then exactly largestText.
class FixedMemoryBudget : public MemoryBudget {
public:
    explicit FixedMemoryBudget(std::uint64_t largestText, std::uint64_t available = 1ULL << 40)
        : m_largestText(largestText), m_available(available) {}

    std::uint64_t AvailableBytes() const override { return m_available; }
    std::uint64_t LargestText() const override { return m_largestText; }

private:
    std::uint64_t m_largestText;
    std::uint64_t m_available;
};

}  // namespace velmor::test
