#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Text.h"

namespace velmor {

struct LinkedPassResult {
    enum class Status { Done, TooLarge, Unusable };
    Status status = Status::Unusable;
    Text text;
};

// Starting from text, for each entry of passes in order, one TextReplace(working, keyword,
// replacement) over the working text, at a cost bound by the occurrences each pass meets
// rather than by the length of the working text. keywords are distinct (as folded), not
// empty, and passes index them. Exact only when every keyword and the replacement end on a
// character and text does not end in a lone lead byte; the caller makes sure. TooLarge as
// soon as a pass would take the working text past maxBytes; Unusable when the keyword tables
// would be too large.
LinkedPassResult ReplacePassesLinked(const Text& text,
                                     const std::vector<std::string_view>& keywords,
                                     const std::vector<std::uint32_t>& passes,
                                     const Text& replacement, bool caseSensitive,
                                     std::size_t maxBytes);

}  // namespace velmor
