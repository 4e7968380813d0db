#pragma once

#include <cstddef>
#include <optional>

#include "core/ResultSizeLimit.h"
#include "core/Text.h"

namespace velmor {

// Conversion between text and Unicode escapes, on UTF-16 code units of the text decoded from
// code page 936. Characters the code page cannot hold come back as their GB18030 four-byte
// codes; a byte that starts no valid character travels as the code unit 0xDC00 + byte and
// comes back as that byte; any other unpaired surrogate comes back as "?". A result ends
// before its first code unit 0.
//   "to16on": every code unit as "\u" and four lower-case hexadecimal digits ("\u" alone for
//             the empty text);
//   "to16un": every "\" becomes "%", then "%uXXXX" and "%XX" are decoded as unescape does;
//   "to10on": every code unit as "&#", its decimal value and ";" ("&#;" for the empty text);
//   "to10un": "&#", an optional "x", the next one to five characters other than "&" read as
//             parseInt reads them (hexadecimal after "x"), and an optional ";" become the
//             character of that value mod 65536.
// Returns nullopt when an encoding would pass maxResultBytes, the empty text for an unknown
// name.
std::optional<Text> EscapeConvert(const Text& text, const Text& name,
                                  std::size_t maxResultBytes = kMaxResultBytes);

}  // namespace velmor
