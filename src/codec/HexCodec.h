#pragma once

#include <cstddef>
#include <string_view>

#include "core/ParallelPieces.h"
#include "core/Text.h"

namespace velmor {

// Two upper-case hexadecimal digits per byte, no separators; a large text is encoded on every
// core.
Text HexEncode(const Text& text, const PieceSplit& split = DefaultPieceSplit());
std::size_t HexEncodedSize(std::size_t byteCount);
// HexEncode written at out, which has room for HexEncodedSize(text.size()) bytes; returns that
// size.
std::size_t WriteHex(std::string_view text, char* out,
                     const PieceSplit& split = DefaultPieceSplit());
// HexEncode within the text's own buffer where its capacity holds the result.
void HexEncodeInPlace(Text& text, const PieceSplit& split = DefaultPieceSplit());
// Pairs of bytes by position (an odd last byte is ignored). Within a pair a byte that is not a
// digit takes the value of the digit to its right, or 0 as the rightmost; the decoded bytes
// end at the first zero.
Text HexDecode(const Text& hexText);
// HexDecode within the text's own buffer.
void HexDecodeInPlace(Text& hexText);

}  // namespace velmor
