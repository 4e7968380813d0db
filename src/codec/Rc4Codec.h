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
    std::uint8_t Next() {
        std::uint8_t byte = 0;
        Generate(1, [&byte](std::uint8_t next) { byte = next; });
        return byte;
    }

    // Gives the next count stream bytes to take, one by one, with the counters held in
    // registers for the whole run. The counters step as i = (i mod 256) + 1 after adding one
    // and j = ((j + S[i - 1]) mod 256) + 1; kept here as the 0-based positions i - 1 and j - 1
    // they designate, they step by two and by one plus S[i - 1], modulo 256.
    template <typename Take>
    void Generate(std::size_t count, Take take) {
        std::uint8_t i = m_i;
        std::uint8_t j = m_j;
        for (std::size_t n = 0; n < count; ++n) {
            i = static_cast<std::uint8_t>(i + 2);
            j = static_cast<std::uint8_t>(j + 1 + m_state[i]);
            const std::uint8_t a = m_state[i];
            const std::uint8_t b = m_state[j];
            m_state[i] = b;
            m_state[j] = a;
            take(m_state[static_cast<std::uint8_t>(a + b)]);
        }
        m_i = i;
        m_j = j;
    }

private:
    std::uint8_t m_state[256];
    // Both counters start at 0 in their 1-based form, one step before position 0.
    std::uint8_t m_i = 255;
    std::uint8_t m_j = 255;
};

// Every byte XOR the stream, as two upper-case hexadecimal digits and a ",".
Text Rc4Encode(const Text& text, const Text& key);
// The length Rc4Encode gives for a text of byteCount bytes.
std::size_t Rc4EncodedSize(std::size_t byteCount);
// Commas are dropped and the rest read in chunks of two bytes (the last may be one); a byte
// that is not a hexadecimal digit counts as -2. The deciphered bytes end at the first zero.
Text Rc4Decode(const Text& cipherText, const Text& key);
// Rc4Decode within the cipher text's own buffer.
void Rc4DecodeInPlace(Text& cipherText, const Text& key);

}  // namespace velmor
