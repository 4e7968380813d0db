#include "core/Positions.h"

#include "core/ByteBlocks.h"

namespace velmor {

namespace {

// Byte length of the character starting at i; 0x80 is a character of its own here.
inline int CharacterLengthAt(const Text& text, std::size_t i) {
    return static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size() ? 2 : 1;
}

}  // namespace

int CharacterCount(const Text& text) {
    // Whole blocks count their bytes less their leads; a lead at a block's end, with its
    // trail in the next block or none, is one character either way.
    std::size_t pairs = 0;
    bool trailFirst = false;
    std::size_t i = 0;
    for (; i + kBlockBytes <= text.size(); i += kBlockBytes) {
        const char* block = text.data() + i;
        const std::uint64_t leadCapable = HighByteMask(block) & ~ByteEqualMask(block, '\x80');
        pairs += static_cast<std::size_t>(BitCount(LeadMask(leadCapable, trailFirst)));
    }
    std::size_t count = i - pairs + (trailFirst ? 1 : 0);
    for (i += trailFirst ? 1 : 0; i < text.size(); i += CharacterLengthAt(text, i)) {
        ++count;
    }
    return static_cast<int>(count);
}

int ByteOffsetOfCharacters(const Text& text, int n) {
    std::size_t offset = 0;
    for (int taken = 0; taken < n && offset < text.size(); ++taken) {
        offset += CharacterLengthAt(text, offset);
    }
    return static_cast<int>(offset);
}

int CharacterIndexOfByte(const Text& text, int b) {
    int count = 0;
    std::size_t offset = 0;
    while (static_cast<long long>(offset) < b && offset < text.size()) {
        offset += CharacterLengthAt(text, offset);
        ++count;
    }
    return count;
}

}  // namespace velmor
