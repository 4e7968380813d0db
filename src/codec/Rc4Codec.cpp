#include "codec/Rc4Codec.h"

#include <array>
#include <cstring>
#include <utility>

namespace velmor {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The digit's value 0..15 regardless of case, or -2 for any other byte.
constexpr std::array<int, 256> MakeChunkDigits() {
    std::array<int, 256> digits{};
    for (auto& digit : digits) {
        digit = -2;
    }
    for (int k = 0; k < 16; ++k) {
        digits[static_cast<unsigned char>(kHexDigits[k])] = k;
        if (k >= 10) {
            digits[static_cast<unsigned char>(kHexDigits[k] + 0x20)] = k;
        }
    }
    return digits;
}

constexpr std::array<int, 256> kChunkDigits = MakeChunkDigits();

constexpr std::array<std::array<char, 3>, 256> MakeCipherTexts() {
    std::array<std::array<char, 3>, 256> texts{};
    for (int k = 0; k < 256; ++k) {
        texts[k] = {kHexDigits[k >> 4], kHexDigits[k & 15], ','};
    }
    return texts;
}

// "XX," for every byte value.
constexpr std::array<std::array<char, 3>, 256> kCipherTexts = MakeCipherTexts();

}  // namespace

Rc4Stream::Rc4Stream(const Text& key) {
    for (int k = 0; k < 256; ++k) {
        m_state[k] = static_cast<std::uint8_t>(k);
    }
    const std::size_t keyLength = key.size();
    int j = 0;
    for (int i = 0; i < 256; ++i) {
        const int keyByte =
            keyLength == 0
                ? 0
                : static_cast<unsigned char>(key[static_cast<std::size_t>(i) % keyLength]);
        j = (j + m_state[i] + keyByte) % 256 + 1;
        std::swap(m_state[i], m_state[j - 1]);
    }
}

std::size_t Rc4EncodedSize(std::size_t byteCount) {
    return byteCount * 3;
}

Text Rc4Encode(const Text& text, const Text& key) {
    Rc4Stream stream(key);
    Text result(Rc4EncodedSize(text.size()), '\0');
    char* out = result.data();
    for (const char c : text) {
        const auto cipher = static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) ^ stream.Next());
        std::memcpy(out, kCipherTexts[cipher].data(), 3);
        out += 3;
    }
    return result;
}

Text Rc4Decode(const Text& cipherText, const Text& key) {
    Rc4Stream stream(key);
    Text result;
    result.reserve(cipherText.size() / 3 + 1);
    int chunk[2];
    int filled = 0;
    auto emit = [&](int value) {
        const auto plain =
            static_cast<std::uint8_t>(static_cast<std::uint8_t>(value) ^ stream.Next());
        if (plain == 0) {
            return false;
        }
        result += static_cast<char>(plain);
        return true;
    };
    for (const char c : cipherText) {
        if (c == ',') {
            continue;
        }
        chunk[filled++] = kChunkDigits[static_cast<unsigned char>(c)];
        if (filled == 2) {
            filled = 0;
            if (!emit(chunk[0] * 16 + chunk[1])) {
                return result;
            }
        }
    }
    if (filled == 1) {
        emit(chunk[0]);
    }
    return result;
}

}  // namespace velmor
