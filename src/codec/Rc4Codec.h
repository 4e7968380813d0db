#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Text.h"

namespace velmor {

// The key stream of the cipher. Its counters keep the 1-based value of the position they
// designate and that value enters the next sum, so the permutation and the stream differ from
// the published cipher; texts this editor enciphered decode only with this arithmetic.
class Rc4Stream {
public:
    // The key's bytes repeat cyclically; an empty key counts as all zero bytes.
    explicit Rc4Stream(const Text& key);
    std::uint8_t Next();

private:
    std::uint8_t m_state[256];
    int m_i = 0;
    int m_j = 0;
};

// Every byte XOR the stream, as two upper-case hexadecimal digits and a ",".
Text Rc4Encode(const Text& text, const Text& key);
// The length Rc4Encode gives for a text of byteCount bytes.
std::size_t Rc4EncodedSize(std::size_t byteCount);
// Commas are dropped and the rest read in chunks of two bytes (the last may be one); a byte
// that is not a hexadecimal digit counts as -2. The deciphered bytes end at the first zero.
Text Rc4Decode(const Text& cipherText, const Text& key);

}  // namespace velmor
