#include "codec/Rc4Codec.h"

#include <array>
#include <cstring>
#include <utility>

#include "codec/ChunkedEncoding.h"

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
    return EncodeInChunks<1, 3>(
        text, Rc4EncodedSize(text.size()), [&stream](const char* in, std::size_t count, char* out) {
            stream.Generate(count, [&](std::uint8_t key) {
                const auto cipher =
                    static_cast<std::uint8_t>(static_cast<std::uint8_t>(*in++) ^ key);
                std::memcpy(out, kCipherTexts[cipher].data(), 3);
                out += 3;
            });
            return out;
        });
}

void Rc4DecodeInPlace(Text& cipherText, const Text& key) {
    Rc4Stream stream(key);
    // Every deciphered byte takes at least one byte of cipher text that has been read already.
    char* const data = cipherText.data();
    const std::size_t length = cipherText.size();
    std::size_t out = 0;
    int chunk[2];
    int filled = 0;
    auto emit = [&](int value) {
        const auto plain =
            static_cast<std::uint8_t>(static_cast<std::uint8_t>(value) ^ stream.Next());
        if (plain == 0) {
            return false;
        }
        data[out++] = static_cast<char>(plain);
        return true;
    };
    bool ended = false;
    for (std::size_t i = 0; i < length && !ended; ++i) {
        const char c = data[i];
        if (c == ',') {
            continue;
        }
        chunk[filled++] = kChunkDigits[static_cast<unsigned char>(c)];
        if (filled == 2) {
            filled = 0;
            ended = !emit(chunk[0] * 16 + chunk[1]);
        }
    }
    if (!ended && filled == 1) {
        emit(chunk[0]);
    }
    cipherText.resize(out);
}

Text Rc4Decode(const Text& cipherText, const Text& key) {
    Text text = cipherText;
    Rc4DecodeInPlace(text, key);
    return text;
}

}  // namespace velmor
