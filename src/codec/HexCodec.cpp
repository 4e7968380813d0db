#include "codec/HexCodec.h"

#include <array>
#include <cstring>

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

}  // namespace

std::size_t HexEncodedSize(std::size_t byteCount) {
    return byteCount * 2;
}

Text HexEncode(const Text& text) {
    Text result(HexEncodedSize(text.size()), '\0');
    char* out = result.data();
    for (const char c : text) {
        std::memcpy(out, kPairs[static_cast<unsigned char>(c)].data(), 2);
        out += 2;
    }
    return result;
}

Text HexDecode(const Text& hexText) {
    const std::size_t pairs = hexText.size() / 2;
    Text result(pairs, '\0');
    const auto* in = reinterpret_cast<const unsigned char*>(hexText.data());
    for (std::size_t k = 0; k < pairs; ++k) {
        const int value = HexPairValue(in[2 * k], in[2 * k + 1]);
        if (value == 0) {
            result.resize(k);
            break;
        }
        result[k] = static_cast<char>(value);
    }
    return result;
}

}  // namespace velmor
