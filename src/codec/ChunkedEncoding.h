#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "core/LargeText.h"
#include "core/Text.h"

namespace velmor {

// Groups an encoder takes at a time: its output stays in the cache.
inline constexpr std::size_t kGroupsPerChunk = 4096;

// Builds an encoding of a large input in one buffer that is written once: each chunk of the
// input is encoded into a small buffer that stays in the cache and then appended, instead of
// zero-filling the whole result first and writing it a second time.
// encode(in, count, out) writes the encoding of count input bytes at out and returns its end;
// every chunk but the last holds a whole number of groups of groupBytes input bytes, and a
// group encodes to at most groupOutput bytes. resultSize is what the whole encoding takes.
template <std::size_t groupBytes, std::size_t groupOutput, typename Encode>
Text EncodeInChunks(std::string_view input, std::size_t resultSize, Encode encode) {
    constexpr std::size_t kChunk = kGroupsPerChunk * groupBytes;
    char buffer[kGroupsPerChunk * groupOutput];
    Text result;
    ReserveLargeText(result, resultSize);
    for (std::size_t at = 0; at < input.size(); at += kChunk) {
        const std::size_t count = std::min(kChunk, input.size() - at);
        const char* end = encode(input.data() + at, count, buffer);
        result.append(buffer, static_cast<std::size_t>(end - buffer));
    }
    return result;
}

// EncodeInChunks within the text's own buffer where its capacity holds the whole encoding.
// The chunks are encoded from the last to the first: a chunk's output starts at or after its
// own input, so it lands only on input already encoded. Without the room, a new buffer is
// built as EncodeInChunks does.
template <std::size_t groupBytes, std::size_t groupOutput, typename Encode>
void EncodeInChunksInPlace(Text& text, std::size_t resultSize, Encode encode) {
    static_assert(groupOutput >= groupBytes);
    if (text.capacity() < resultSize) {
        text = EncodeInChunks<groupBytes, groupOutput>(text, resultSize, encode);
        return;
    }
    constexpr std::size_t kChunk = kGroupsPerChunk * groupBytes;
    char buffer[kGroupsPerChunk * groupOutput];
    const std::size_t size = text.size();
    GrowLargeTextInPlace(text, resultSize);
    char* const data = text.data();
    for (std::size_t at = size == 0 ? 0 : (size - 1) / kChunk * kChunk;; at -= kChunk) {
        const std::size_t count = std::min(kChunk, size - at);
        char* const destination = data + at / groupBytes * groupOutput;
        // Only the first chunks' output overlaps their own input.
        if (destination >= data + at + count) {
            encode(data + at, count, destination);
        } else {
            const char* end = encode(data + at, count, buffer);
            std::memcpy(destination, buffer, static_cast<std::size_t>(end - buffer));
        }
        if (at == 0) {
            break;
        }
    }
}

}  // namespace velmor
