#include "codec/HexCodec.h"

#include <array>
#include <cstring>

#include "codec/ChunkedEncoding.h"
#include "codec/WideEncoding.h"

namespace velmor {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Digit values, -1 for a byte that is no digit; the upper-case letters count only where the
// lower-casing of the pair reaches them.
constexpr std::array<int, 256> MakeDigits(bool upperCaseToo) {
    std::array<int, 256> digits{};
    for (auto& digit : digits) {
        digit = -1;
    }
    for (int k = 0; k < 10; ++k) {
        digits['0' + k] = k;
    }
    for (int k = 0; k < 6; ++k) {
        digits['a' + k] = 10 + k;
        if (upperCaseToo) {
            digits['A' + k] = 10 + k;
        }
    }
    return digits;
}

constexpr std::array<int, 256> kAnyCaseDigits = MakeDigits(true);
constexpr std::array<int, 256> kLowerCaseDigits = MakeDigits(false);

constexpr std::array<std::array<char, 2>, 256> MakePairs() {
    std::array<std::array<char, 2>, 256> pairs{};
    for (int k = 0; k < 256; ++k) {
        pairs[k] = {kHexDigits[k >> 4], kHexDigits[k & 15]};
    }
    return pairs;
}

constexpr std::array<std::array<char, 2>, 256> kPairs = MakePairs();

// The lower-casing walks characters, so after a lead byte the second byte is a trail byte and
// keeps its case.
int HexPairValue(unsigned char left, unsigned char right) {
    const int rightDigit = left >= 0x80 ? kLowerCaseDigits[right] : kAnyCaseDigits[right];
    const int low = rightDigit < 0 ? 0 : rightDigit;
    const int leftDigit = kAnyCaseDigits[left];
    const int high = leftDigit < 0 ? low : leftDigit;
    return high * 16 + low;
}

// HexPairValue of every pair of bytes, indexed by the pair read as a little-endian number.
const std::array<unsigned char, 65536>& PairValues() {
    static const std::array<unsigned char, 65536> values = [] {
        std::array<unsigned char, 65536> table{};
        for (int left = 0; left < 256; ++left) {
            for (int right = 0; right < 256; ++right) {
                table[left | right << 8] = static_cast<unsigned char>(HexPairValue(
                    static_cast<unsigned char>(left), static_cast<unsigned char>(right)));
            }
        }
        return table;
    }();
    return values;
}

char* EncodeBytes(const char* in, std::size_t count, char* out) {
    const std::size_t wide = EncodeHexWide(reinterpret_cast<const unsigned char*>(in), count, out);
    out += 2 * wide;
    for (std::size_t i = wide; i < count; ++i) {
        std::memcpy(out, kPairs[static_cast<unsigned char>(in[i])].data(), 2);
        out += 2;
    }
    return out;
}

}  // namespace

std::size_t HexEncodedSize(std::size_t byteCount) {
    return byteCount * 2;
}

Text HexEncode(const Text& text, const PieceSplit& split) {
    return EncodeInChunks<1, 2>(text, HexEncodedSize(text.size()), EncodeBytes, split);
}

std::size_t WriteHex(std::string_view text, char* out, const PieceSplit& split) {
    return WriteEncoding<1, 2>(text, HexEncodedSize(text.size()), out, EncodeBytes, split);
}

void HexEncodeInPlace(Text& text, const PieceSplit& split) {
    EncodeInChunksInPlace<1, 2>(text, HexEncodedSize(text.size()), EncodeBytes, split);
}

void HexDecodeInPlace(Text& hexText) {
    const std::array<unsigned char, 65536>& values = PairValues();
    const std::size_t pairs = hexText.size() / 2;
    // Pair k is read before byte k is written, and byte k lies before the pair.
    char* const data = hexText.data();
    std::size_t k = 0;
    for (; k < pairs; ++k) {
        const unsigned char value = values[static_cast<unsigned char>(data[2 * k]) |
                                           static_cast<unsigned char>(data[2 * k + 1]) << 8];
        if (value == 0) {
            break;
        }
        data[k] = static_cast<char>(value);
    }
    hexText.resize(k);
}

Text HexDecode(const Text& hexText) {
    Text text = hexText;
    HexDecodeInPlace(text);
    return text;
}

}  // namespace velmor
