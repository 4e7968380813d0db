#pragma once

#include <cstddef>

namespace velmor {

// The bulk of the Base64 and hexadecimal encoders, many bytes per step where the processor
// offers vector instructions. Each encodes a leading part of count bytes at in to out and
// returns how many input bytes it took: for Base64 a multiple of three, possibly none; the
// caller encodes the rest byte by byte. The output is exactly that of the byte-by-byte
// encoders: Base64 with the standard alphabet, hexadecimal with upper-case digits.
std::size_t EncodeBase64Wide(const unsigned char* in, std::size_t count, char* out);
std::size_t EncodeHexWide(const unsigned char* in, std::size_t count, char* out);

}  // namespace velmor
