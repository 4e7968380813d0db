#pragma once

#include <cstdint>

namespace velmor::cp936 {

inline constexpr int kFirstLead = 0x81;
inline constexpr int kLeadCount = 0xFE - 0x81 + 1;
inline constexpr int kFirstTrail = 0x40;
inline constexpr int kTrailSpan = 0xFE - 0x40 + 1;

// Code point of the two-byte code (lead, trail) at
// (lead - kFirstLead) * kTrailSpan + (trail - kFirstTrail); 0 where the code decodes to no
// character (trail 0x7F, and A2E3, whose euro sign belongs to the single byte 0x80).
extern const std::uint16_t kTwoByte[kLeadCount * kTrailSpan];

// The GB18030 four-byte codes of the BMP, numbered linearly from 81 30 81 30: index
// `firstIndex` holds `firstCodePoint`, and the code points rise one by one with the index up
// to the next range's firstIndex.
struct FourByteRange {
    std::uint32_t firstIndex;
    std::uint32_t firstCodePoint;
};
inline constexpr int kFourByteRangeCount = 206;
inline constexpr std::uint32_t kFourByteBmpCount = 39420;
extern const FourByteRange kFourByteRanges[kFourByteRangeCount];

// Index of 90 30 81 30, the four-byte code of U+10000; the supplementary planes follow
// linearly.
inline constexpr std::uint32_t kFourByteSupplementaryBase = 189000;

}  // namespace velmor::cp936
