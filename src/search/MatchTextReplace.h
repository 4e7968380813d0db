#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/Text.h"

namespace velmor {

// Starting from text, replaces for each of matchTexts in turn every occurrence of it in the
// working text by replacement, exactly as one TextReplace per entry would (non-overlapping,
// left to right, at character starts, ASCII letters folded unless caseSensitive). A pass
// that cannot change the working text is skipped and runs of passes that the replacement
// cannot feed share one scan, so each distinct text costs at most one scan unless earlier
// replacements form it anew. Nullopt when the result would exceed maxBytes.
std::optional<Text> ReplaceMatchTexts(const Text& text,
                                      const std::vector<std::string_view>& matchTexts,
                                      const Text& replacement, bool caseSensitive,
                                      std::size_t maxBytes);

// Whether TextReplace(working, find, replacement, ...) would be longer than maxBytes; counts
// the occurrences only when a rough bound does not settle it.
bool ReplacedSizeExceeds(const Text& working, std::string_view find, const Text& replacement,
                         bool caseSensitive, std::size_t maxBytes);

// How many occurrences TextReplace(text, find, ...) replaces.
std::size_t CountReplacements(const Text& text, std::string_view find, bool caseSensitive);

}  // namespace velmor
