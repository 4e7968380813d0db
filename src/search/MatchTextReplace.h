#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/Text.h"

namespace velmor {

// Starting from text, replaces for each of matchTexts in turn every occurrence of it in the
// working text by replacement, exactly as one TextReplace per entry would (non-overlapping,
// left to right, at character starts, ASCII letters folded unless caseSensitive). Where no
// replaced text can take part in a later occurrence the whole list is done in one scan;
// otherwise it runs the passes one by one. Nullopt when the result would exceed maxBytes.
std::optional<Text> ReplaceMatchTexts(const Text& text,
                                      const std::vector<std::string_view>& matchTexts,
                                      const Text& replacement, bool caseSensitive,
                                      std::size_t maxBytes);

// Whether TextReplace(working, find, replacement, ...) would be longer than maxBytes; counts
// the occurrences only when a rough bound does not settle it.
bool ReplacedSizeExceeds(const Text& working, std::string_view find, const Text& replacement,
                         bool caseSensitive, std::size_t maxBytes);

}  // namespace velmor
