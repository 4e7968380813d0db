#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Services.h"

namespace velmor {

// Uniform draws from the system's cryptographic random bytes, read in blocks.
class SecureDraw {
public:
    explicit SecureDraw(const SecureRandomSource& source) : m_source(source) {}

    // A value in 0..bound-1, every one equally likely (bound must not be 0).
    std::uint32_t Below(std::uint32_t bound);
    // A value in lo..hi, both included (lo <= hi, hi - lo below 2^32 - 1).
    std::int64_t Between(std::int64_t lo, std::int64_t hi);

private:
    std::uint32_t NextWord();

    const SecureRandomSource& m_source;
    unsigned char m_block[256];
    std::size_t m_used = sizeof m_block;
};

}  // namespace velmor
