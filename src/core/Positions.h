#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "core/Text.h"

namespace velmor {

// Editor positions count characters from 0. For these conversions a byte of 0x81 or above
// starts a two-byte character and every other byte (0x80 included) is one character; a lead
// byte that is the last byte of the text is a character of one byte.

// The number of characters in text.
int CharacterCount(std::string_view text);

// The byte length of the first n characters (0 for n <= 0, the whole length past the end).
int ByteOffsetOfCharacters(std::string_view text, int n);

// The smallest number of leading characters whose byte length is at least b (0 for b <= 0).
int CharacterIndexOfByte(const Text& text, int b);

// Where a caret at start goes when the text is replaced by one of size bytes: it stays unless
// it lies past the new end. A text has at least half as many characters as bytes, so only a
// start beyond that asks characters() for the new text's count.
template <typename CountCharacters>
int CaretAfterReplace(int start, std::size_t size, CountCharacters characters) {
    if (static_cast<std::size_t>(start) > size / 2) {
        return std::min(start, characters());
    }
    return start;
}

}  // namespace velmor
