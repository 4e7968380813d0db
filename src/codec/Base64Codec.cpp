#include "codec/Base64Codec.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace velmor {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int16_t, 256> MakeValues() {
    std::array<std::int16_t, 256> values{};
    for (auto& value : values) {
        value = -1;
    }
    for (int k = 0; k < 64; ++k) {
        values[static_cast<unsigned char>(kAlphabet[k])] = static_cast<std::int16_t>(k);
    }
    return values;
}

constexpr std::array<std::int16_t, 256> kValues = MakeValues();

// TextStripSpaces followed by removing every CR LF pair, done in one pass in place: a space
// removed between CR and LF lets the two meet, and a pair once removed is not looked at
// again, exactly as the two passes over whole texts would behave.
void CleanInPlace(Text& text) {
    const std::size_t length = text.size();
    char* data = text.data();
    // Clean Base64 has nothing to remove: skip to the first byte that may need it.
    std::size_t i = 0;
    while (i < length && kValues[static_cast<unsigned char>(data[i])] >= 0) {
        ++i;
    }
    std::size_t out = i;
    bool lastIsCarriageReturn = false;
    while (i < length) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x80) {
            if (i + 1 >= length) {
                break;  // a trailing lone lead byte is dropped by the space stripping
            }
            if (c != 0xA1 || static_cast<unsigned char>(data[i + 1]) != 0xA1) {
                data[out++] = data[i];
                data[out++] = data[i + 1];
                lastIsCarriageReturn = false;
            }
            i += 2;
            continue;
        }
        ++i;
        if (c == ' ') {
            continue;
        }
        if (c == '\n' && lastIsCarriageReturn) {
            --out;
            lastIsCarriageReturn = false;
            continue;
        }
        data[out++] = static_cast<char>(c);
        lastIsCarriageReturn = c == '\r';
    }
    text.resize(out);
}

}  // namespace

std::size_t Base64EncodedSize(std::size_t byteCount) {
    return (byteCount + 2) / 3 * 4;
}

Text Base64Encode(const ByteString& bytes) {
    Text result(Base64EncodedSize(bytes.size()), '\0');
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t whole = bytes.size() / 3 * 3;
    char* out = result.data();
    for (std::size_t i = 0; i < whole; i += 3) {
        const std::uint32_t group = in[i] << 16 | in[i + 1] << 8 | in[i + 2];
        out[0] = kAlphabet[group >> 18];
        out[1] = kAlphabet[group >> 12 & 63];
        out[2] = kAlphabet[group >> 6 & 63];
        out[3] = kAlphabet[group & 63];
        out += 4;
    }
    const std::size_t rest = bytes.size() - whole;
    if (rest > 0) {
        const std::uint32_t group = in[whole] << 16 | (rest == 2 ? in[whole + 1] << 8 : 0);
        out[0] = kAlphabet[group >> 18];
        out[1] = kAlphabet[group >> 12 & 63];
        out[2] = rest == 2 ? kAlphabet[group >> 6 & 63] : '=';
        out[3] = '=';
    }
    return result;
}

ByteString Base64Decode(Text text) {
    CleanInPlace(text);
    const std::size_t length = text.size();
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t groups = (length + 3) / 4;
    ByteString result(groups * 3, '\0');
    char* out = result.data();
    int work[4] = {0, 0, 0, 0};
    int stop = 5;
    for (std::size_t g = 0; g < groups; ++g) {
        const std::size_t base = 4 * g;
        stop = 5;
        if (base + 4 <= length) {
            const int v0 = kValues[in[base]];
            const int v1 = kValues[in[base + 1]];
            const int v2 = kValues[in[base + 2]];
            const int v3 = kValues[in[base + 3]];
            if ((v0 | v1 | v2 | v3) >= 0) {
                work[0] = v0;
                work[1] = v1;
                work[2] = v2;
                work[3] = v3;
                out[0] = static_cast<char>(v0 << 2 | v1 >> 4);
                out[1] = static_cast<char>(v1 << 4 | v2 >> 2);
                out[2] = static_cast<char>(v2 << 6 | v3);
                out += 3;
                continue;
            }
        }
        for (int p = 0; p < 4; ++p) {
            const std::size_t position = base + static_cast<std::size_t>(p);
            if (position >= length) {
                work[p] = 0;  // a missing character counts as "A"
                continue;
            }
            const int x = in[position];
            const int value = kValues[x];
            if (value >= 0) {
                work[p] = value;
            } else {
                work[p] = x;
                stop = p + 1;
                break;
            }
        }
        out[0] = static_cast<char>(work[0] * 4 | work[1] / 16);
        out[1] = static_cast<char>(work[1] * 16 | work[2] / 4);
        out[2] = static_cast<char>(work[2] * 64 | work[3]);
        out += 3;
    }
    std::size_t size = static_cast<std::size_t>(out - result.data());
    if (groups > 0 && stop < 5) {
        size -= static_cast<std::size_t>(std::min(5 - stop, 3));
    }
    result.resize(size);
    return result;
}

}  // namespace velmor
