#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmor {

// Blocks of 64 bytes seen as bit masks (bit i for byte i), so that the walks over a text can
// skip runs of ASCII bytes and settle the character starts of a whole block at once. The
// wide versions use SSE2 where the compiler offers it; the portable ones give the same masks
// byte by byte and stay available so that the two can be compared.

inline constexpr std::size_t kBlockBytes = 64;

namespace portable_blocks {

inline std::uint64_t HighByteMask(const char* block) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        mask |= static_cast<std::uint64_t>(static_cast<unsigned char>(block[i]) >> 7) << i;
    }
    return mask;
}

inline std::uint64_t ByteRangeMask(const char* block, char low, char high) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        const bool inside = block[i] >= low && block[i] <= high;
        mask |= static_cast<std::uint64_t>(inside) << i;
    }
    return mask;
}

inline std::uint64_t ByteEqualMask(const char* block, char value) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        mask |= static_cast<std::uint64_t>(block[i] == value) << i;
    }
    return mask;
}

// Adds delta to every byte from low to high and returns the mask of the bytes changed; the
// block is written only when there are any. The ...To forms read one block and write another.
inline std::uint64_t ShiftBytesInRange(char* block, char low, char high, char delta) {
    const std::uint64_t mask = ByteRangeMask(block, low, high);
    for (std::uint64_t left = mask; left != 0; left &= left - 1) {
        block[__builtin_ctzll(left)] = static_cast<char>(block[__builtin_ctzll(left)] + delta);
    }
    return mask;
}

// The same from the block at in to the block at out: every byte of out is written.
inline std::uint64_t ShiftBytesInRangeTo(const char* in, char* out, char low, char high,
                                         char delta) {
    const std::uint64_t mask = ByteRangeMask(in, low, high);
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        out[i] = static_cast<char>(in[i] + (((mask >> i) & 1) != 0 ? delta : 0));
    }
    return mask;
}

inline std::size_t AsciiPrefix16(const char* bytes) {
    std::size_t i = 0;
    while (i < 16 && static_cast<unsigned char>(bytes[i]) < 0x80) {
        ++i;
    }
    return i;
}

inline std::size_t HighRunBefore16(const char* end) {
    std::size_t run = 0;
    while (run < 16 &&
           static_cast<unsigned char>(end[-1 - static_cast<std::ptrdiff_t>(run)]) >= 0x80) {
        ++run;
    }
    return run;
}

}  // namespace portable_blocks

#if defined(__SSE2__)

namespace sse2_blocks {

inline std::uint64_t Gather(__m128i a, __m128i b, __m128i c, __m128i d) {
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(a))) |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(b))) << 16 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(c))) << 32 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(d))) << 48;
}

inline __m128i Load(const char* block, int part) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(block) + part);
}

// Bytes from low to high, both below 0x80 or both at 0x80 and above: the signed compares
// then order every byte the way an unsigned compare would within that half.
inline __m128i InRange(__m128i bytes, char low, char high) {
    return _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(static_cast<char>(low - 1))),
                         _mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(high + 1))));
}

}  // namespace sse2_blocks

// Bytes of 0x80 and above.
inline std::uint64_t HighByteMask(const char* block) {
    using namespace sse2_blocks;
    return Gather(Load(block, 0), Load(block, 1), Load(block, 2), Load(block, 3));
}

// Bytes from low to high; both must lie on the same side of 0x80 and high below 0x7F or
// above 0x80 (so that high + 1 keeps its side).
inline std::uint64_t ByteRangeMask(const char* block, char low, char high) {
    using namespace sse2_blocks;
    return Gather(InRange(Load(block, 0), low, high), InRange(Load(block, 1), low, high),
                  InRange(Load(block, 2), low, high), InRange(Load(block, 3), low, high));
}

inline std::uint64_t ByteEqualMask(const char* block, char value) {
    using namespace sse2_blocks;
    const __m128i v = _mm_set1_epi8(value);
    return Gather(_mm_cmpeq_epi8(Load(block, 0), v), _mm_cmpeq_epi8(Load(block, 1), v),
                  _mm_cmpeq_epi8(Load(block, 2), v), _mm_cmpeq_epi8(Load(block, 3), v));
}

inline std::uint64_t ShiftBytesInRange(char* block, char low, char high, char delta) {
    using namespace sse2_blocks;
    const __m128i step = _mm_set1_epi8(delta);
    __m128i parts[4];
    __m128i inside[4];
    for (int i = 0; i < 4; ++i) {
        parts[i] = Load(block, i);
        inside[i] = InRange(parts[i], low, high);
    }
    const std::uint64_t mask = Gather(inside[0], inside[1], inside[2], inside[3]);
    if (mask != 0) {
        for (int i = 0; i < 4; ++i) {
            const __m128i shifted = _mm_add_epi8(parts[i], _mm_and_si128(inside[i], step));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(block) + i, shifted);
        }
    }
    return mask;
}

inline std::uint64_t ShiftBytesInRangeTo(const char* in, char* out, char low, char high,
                                         char delta) {
    using namespace sse2_blocks;
    const __m128i step = _mm_set1_epi8(delta);
    __m128i inside[4];
    for (int i = 0; i < 4; ++i) {
        const __m128i part = Load(in, i);
        inside[i] = InRange(part, low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out) + i,
                         _mm_add_epi8(part, _mm_and_si128(inside[i], step)));
    }
    return Gather(inside[0], inside[1], inside[2], inside[3]);
}

// The number of bytes below 0x80 before the first other byte among 16 (16 when all are).
inline std::size_t AsciiPrefix16(const char* bytes) {
    const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    return static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high) | 0x10000u));
}

// The number of bytes of 0x80 and above directly before end among the 16 before it (16 when
// all are).
inline std::size_t HighRunBefore16(const char* end) {
    const unsigned high = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16))));
    const unsigned low = ~high & 0xFFFFu;
    return low == 0 ? 16 : static_cast<std::size_t>(__builtin_clz(low << 16));
}

#else

inline std::uint64_t HighByteMask(const char* block) {
    return portable_blocks::HighByteMask(block);
}
inline std::uint64_t ByteRangeMask(const char* block, char low, char high) {
    return portable_blocks::ByteRangeMask(block, low, high);
}
inline std::uint64_t ByteEqualMask(const char* block, char value) {
    return portable_blocks::ByteEqualMask(block, value);
}
inline std::uint64_t ShiftBytesInRange(char* block, char low, char high, char delta) {
    return portable_blocks::ShiftBytesInRange(block, low, high, delta);
}
inline std::uint64_t ShiftBytesInRangeTo(const char* in, char* out, char low, char high,
                                         char delta) {
    return portable_blocks::ShiftBytesInRangeTo(in, out, low, high, delta);
}
inline std::size_t AsciiPrefix16(const char* bytes) {
    return portable_blocks::AsciiPrefix16(bytes);
}
inline std::size_t HighRunBefore16(const char* end) {
    return portable_blocks::HighRunBefore16(end);
}

#endif

// The lead bytes of a block of the character walk, in which each byte marked in leadCapable
// that is not itself a trail takes the next byte along as its trail. trailFirst says
// whether byte 0 is the trail of a lead in the block before; on return it says the same of
// the block after. A run of lead-capable bytes pairs up from its first byte, so a run that
// starts at an even bit has its leads on even bits and one that starts at an odd bit on odd
// bits; adding a run's first bit to the mask clears exactly that run, which separates the
// runs by the parity of their start.
inline std::uint64_t LeadMask(std::uint64_t leadCapable, bool& trailFirst) {
    constexpr std::uint64_t even = 0x5555555555555555ull;
    const std::uint64_t runs = leadCapable & ~static_cast<std::uint64_t>(trailFirst);
    const std::uint64_t starts = runs & ~(runs << 1);
    const std::uint64_t evenRuns = runs & ~(runs + (starts & even));
    const std::uint64_t oddRuns = runs & ~(runs + (starts & ~even));
    const std::uint64_t leads = (evenRuns & even) | (oddRuns & ~even);
    trailFirst = (leads >> 63) != 0;
    return leads;
}

// The trail bytes of a block, given its leads and the trailFirst it was entered with.
inline std::uint64_t TrailMask(std::uint64_t leads, bool trailFirst) {
    return leads << 1 | static_cast<std::uint64_t>(trailFirst);
}

inline int LowestBit(std::uint64_t mask) {
    return __builtin_ctzll(mask);
}

inline int BitCount(std::uint64_t mask) {
    return __builtin_popcountll(mask);
}

}  // namespace velmor
