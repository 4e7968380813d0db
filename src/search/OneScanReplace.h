#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Text.h"

namespace velmor {

struct OneScanResult {
    enum class Status { Done, TooLarge, Unusable };
    Status status = Status::Unusable;
    Text text;
    std::size_t replaced = 0;
    // Where each inserted replacement begins in text, in increasing order, when asked for.
    std::vector<std::uint32_t> spots;
};

// One TextReplace(working, keyword, replacement) per keyword, in the given order, done in one
// scan of text. Exact only when no replacement can take part in an occurrence of a later
// keyword, and every keyword and the replacement end on a character; the caller makes sure.
// Keywords must be distinct (as folded) and not empty. Unusable when the scan would cost
// too much memory or text ends in a lone lead byte; TooLarge when the result would pass
// maxBytes.
OneScanResult ReplaceInOneScan(const Text& text, const std::vector<std::string_view>& keywords,
                               const Text& replacement, bool caseSensitive, std::size_t maxBytes,
                               bool listSpots);

}  // namespace velmor
