#pragma once

#include <cstddef>
#include <vector>

#include "core/Text.h"

namespace velmor {

// One match of a pattern: its byte offset in the searched text and its length in bytes.
struct RegexMatch {
    std::size_t position = 0;
    std::size_t length = 0;
};

// Every match of pattern (Perl syntax, compiled over the GBK bytes one byte per character,
// case-insensitive unless caseSensitive) in text. After each match the search goes on in the
// rest behind it as a text of its own, so "^", "\A" and look-behind see that place as a start;
// it stops when nothing more is found or a match ends at the very start of the rest. Each
// search that goes on runs on a shorter rest, so the list always ends. A pattern that does
// not compile gives no matches; a search that exceeds the engine's complexity or memory
// limits counts as finding nothing more.
std::vector<RegexMatch> FindAllMatches(const Text& text, const Text& pattern, bool caseSensitive);

}  // namespace velmor
