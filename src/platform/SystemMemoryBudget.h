#pragma once

#include <cstdint>
#include <string_view>

#include "core/Services.h"

namespace velmor {

// The memory the kernel reports as available (MemAvailable in /proc/meminfo, which counts the
// page cache it can drop), or the free pages where that is missing.
class SystemMemoryBudget : public MemoryBudget {
public:
    explicit SystemMemoryBudget(std::uint64_t largestText) : m_largestText(largestText) {}

    std::uint64_t AvailableBytes() const override;
    std::uint64_t LargestText() const override { return m_largestText; }

    // The MemAvailable figure of a /proc/meminfo text in bytes, or 0 when it has none.
    static std::uint64_t AvailableFromMeminfo(std::string_view meminfo);

private:
    std::uint64_t m_largestText;
};

}  // namespace velmor
