#pragma once

#include <cstddef>
#include <string_view>

#include "core/ParallelPieces.h"
#include "core/Text.h"

namespace velmor {

// RFC 4648 Base64 with "=" padding and no line breaks. A large input is cut at multiples of
// three bytes and encoded on every core.
Text Base64Encode(const ByteString& bytes, const PieceSplit& split = DefaultPieceSplit());
// Base64Encode within the buffer of bytes where its capacity holds the result.
void Base64EncodeInPlace(ByteString& bytes, const PieceSplit& split = DefaultPieceSplit());
// Base64Encode written at out, which has room for Base64EncodedSize(bytes.size()) bytes;
// returns that size.
std::size_t WriteBase64(std::string_view bytes, char* out,
                        const PieceSplit& split = DefaultPieceSplit());
// The length Base64Encode gives for an input of byteCount bytes.
std::size_t Base64EncodedSize(std::size_t byteCount);

// The tolerant decoder: drops ASCII and full-width spaces and CR LF pairs, then reads groups of
// four positions; a character outside the alphabet stops its group, and the work values of the
// positions it did not reach carry over from the previous group. Never rejects input.
ByteString Base64Decode(Text text);
// Base64Decode within the text's own buffer.
void Base64DecodeInPlace(ByteString& text);

}  // namespace velmor
