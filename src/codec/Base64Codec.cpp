#include "codec/Base64Codec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "codec/ChunkedEncoding.h"
#include "codec/WideEncoding.h"

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
// Bytes before from are left as they are: they must all be in the alphabet.
void CleanInPlace(Text& text, std::size_t from) {
    const std::size_t length = text.size();
    char* data = text.data();
    // Clean Base64 has nothing to remove: skip to the first byte that may need it.
    std::size_t i = from;
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

// Two characters for every 12 bits, in memory order.
constexpr std::array<std::array<char, 2>, 4096> MakePairs() {
    std::array<std::array<char, 2>, 4096> pairs{};
    for (int k = 0; k < 4096; ++k) {
        pairs[k] = {kAlphabet[k >> 6], kAlphabet[k & 63]};
    }
    return pairs;
}

constexpr std::array<std::array<char, 2>, 4096> kPairs = MakePairs();

char* EncodeGroups(const unsigned char* in, std::size_t count, char* out) {
    const std::size_t whole = count / 3 * 3;
    for (std::size_t i = 0; i < whole; i += 3) {
        const std::uint32_t group = in[i] << 16 | in[i + 1] << 8 | in[i + 2];
        std::memcpy(out, kPairs[group >> 12].data(), 2);
        std::memcpy(out + 2, kPairs[group & 4095].data(), 2);
        out += 4;
    }
    const std::size_t rest = count - whole;
    if (rest > 0) {
        const std::uint32_t group = in[whole] << 16 | (rest == 2 ? in[whole + 1] << 8 : 0);
        out[0] = kAlphabet[group >> 18];
        out[1] = kAlphabet[group >> 12 & 63];
        out[2] = rest == 2 ? kAlphabet[group >> 6 & 63] : '=';
        out[3] = '=';
        out += 4;
    }
    return out;
}

// Four characters of the alphabet as three bytes; false, writing nothing, when one is not.
bool DecodeWholeGroup(const unsigned char* in, char* out) {
    const int v0 = kValues[in[0]];
    const int v1 = kValues[in[1]];
    const int v2 = kValues[in[2]];
    const int v3 = kValues[in[3]];
    if ((v0 | v1 | v2 | v3) < 0) {
        return false;
    }
    out[0] = static_cast<char>(v0 << 2 | v1 >> 4);
    out[1] = static_cast<char>(v1 << 4 | v2 >> 2);
    out[2] = static_cast<char>(v2 << 6 | v3);
    return true;
}

}  // namespace

std::size_t Base64EncodedSize(std::size_t byteCount) {
    return (byteCount + 2) / 3 * 4;
}

namespace {

char* EncodeChunk(const char* in, std::size_t count, char* out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in);
    const std::size_t wide = EncodeBase64Wide(bytes, count, out);
    return EncodeGroups(bytes + wide, count - wide, out + wide / 3 * 4);
}

}  // namespace

Text Base64Encode(const ByteString& bytes, const PieceSplit& split) {
    return EncodeInChunks<3, 4>(bytes, Base64EncodedSize(bytes.size()), EncodeChunk, split);
}

std::size_t WriteBase64(std::string_view bytes, char* out, const PieceSplit& split) {
    return WriteEncoding<3, 4>(bytes, Base64EncodedSize(bytes.size()), out, EncodeChunk, split);
}

void Base64EncodeInPlace(ByteString& bytes, const PieceSplit& split) {
    EncodeInChunksInPlace<3, 4>(bytes, Base64EncodedSize(bytes.size()), EncodeChunk, split);
}

void Base64DecodeInPlace(ByteString& text) {
    // The output of a group never reaches past the group's input, so one buffer serves both.
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    char* const begin = text.data();
    char* out = begin;
    // Whole groups before the first byte outside the alphabet need no cleaning: they are
    // decoded as they stand, and only the rest of the text is cleaned.
    std::size_t g = 0;
    for (const std::size_t whole = text.size() / 4; g < whole; ++g, out += 3) {
        if (!DecodeWholeGroup(in + 4 * g, out)) {
            break;
        }
    }
    CleanInPlace(text, 4 * g);
    const std::size_t length = text.size();
    const std::size_t groups = (length + 3) / 4;
    int work[4] = {0, 0, 0, 0};
    // A whole group leaves its four values in the three bytes it wrote; they are read back
    // only when a broken group carries some of them over.
    bool workInOutput = g > 0;
    int stop = 5;
    for (; g < groups; ++g) {
        const std::size_t base = 4 * g;
        stop = 5;
        if (base + 4 <= length && DecodeWholeGroup(in + base, out)) {
            out += 3;
            workInOutput = true;
            continue;
        }
        if (workInOutput) {
            const std::uint32_t bits = static_cast<unsigned char>(out[-3]) << 16 |
                                       static_cast<unsigned char>(out[-2]) << 8 |
                                       static_cast<unsigned char>(out[-1]);
            work[0] = static_cast<int>(bits >> 18);
            work[1] = static_cast<int>(bits >> 12 & 63);
            work[2] = static_cast<int>(bits >> 6 & 63);
            work[3] = static_cast<int>(bits & 63);
            workInOutput = false;
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
    std::size_t size = static_cast<std::size_t>(out - begin);
    if (groups > 0 && stop < 5) {
        size -= static_cast<std::size_t>(std::min(5 - stop, 3));
    }
    text.resize(size);
}

ByteString Base64Decode(Text text) {
    Base64DecodeInPlace(text);
    return text;
}

}  // namespace velmor
