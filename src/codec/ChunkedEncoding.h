#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "core/LargeText.h"
#include "core/ParallelPieces.h"
#include "core/Text.h"

namespace velmor {

// Groups an encoder takes at a time: its output stays in the cache.
inline constexpr std::size_t kGroupsPerChunk = 4096;

// An encoding takes its input in groups of groupBytes bytes, each giving at most groupOutput
// bytes. encode(in, count, out) writes the encoding of count input bytes at out and returns
// its end; count is a whole number of groups but for the input's last bytes. resultSize is
// what the whole encoding takes. A large input is cut at whole groups and its pieces encoded
// on every core, each where its output belongs.

// Writes the encoding of input at out, which has room for resultSize bytes, cut at whole
// groups and encoded on every core; returns resultSize.
template <std::size_t groupBytes, std::size_t groupOutput, typename Encode>
std::size_t WriteEncoding(std::string_view input, std::size_t resultSize, char* out, Encode encode,
                          const PieceSplit& split = DefaultPieceSplit()) {
    ForEachPieceInParallel(
        UnitPieceEnds(input.size(), groupBytes, split), [&](std::size_t begin, std::size_t end) {
            encode(input.data() + begin, end - begin, out + begin / groupBytes * groupOutput);
        });
    return resultSize;
}

// Builds an encoding of a large input in one buffer. On one core it is written once: each
// chunk is encoded into a small buffer that stays in the cache and then appended, instead of
// zero-filling the whole result first and writing it a second time.
template <std::size_t groupBytes, std::size_t groupOutput, typename Encode>
Text EncodeInChunks(std::string_view input, std::size_t resultSize, Encode encode,
                    const PieceSplit& split = DefaultPieceSplit()) {
    Text result;
    const std::vector<std::size_t> ends = UnitPieceEnds(input.size(), groupBytes, split);
    if (ends.size() > 1) {
        ResizeLargeText(result, resultSize);
        char* const out = result.data();
        ForEachPieceInParallel(ends, [&](std::size_t begin, std::size_t end) {
            encode(input.data() + begin, end - begin, out + begin / groupBytes * groupOutput);
        });
        return result;
    }
    constexpr std::size_t kChunk = kGroupsPerChunk * groupBytes;
    char buffer[kGroupsPerChunk * groupOutput];
    ReserveLargeText(result, resultSize);
    for (std::size_t at = 0; at < input.size(); at += kChunk) {
        const std::size_t count = std::min(kChunk, input.size() - at);
        const char* end = encode(input.data() + at, count, buffer);
        result.append(buffer, static_cast<std::size_t>(end - buffer));
    }
    return result;
}

// EncodeInChunks within the text's own buffer where its capacity holds the whole encoding.
// The input is encoded from its end towards its start, so that output lands only on input
// already encoded: in rounds on every core, each taking the input [from, unencoded) whose
// output begins at or after unencoded, then the rest chunk by chunk from the last to the
// first (a chunk's output starts at or after its own input). Without the room, a new buffer
// is built as EncodeInChunks does.
template <std::size_t groupBytes, std::size_t groupOutput, typename Encode>
void EncodeInChunksInPlace(Text& text, std::size_t resultSize, Encode encode,
                           const PieceSplit& split = DefaultPieceSplit()) {
    static_assert(groupOutput >= groupBytes);
    if (text.capacity() < resultSize) {
        text = EncodeInChunks<groupBytes, groupOutput>(text, resultSize, encode, split);
        return;
    }
    const std::size_t size = text.size();
    GrowLargeTextInPlace(text, resultSize);
    char* const data = text.data();
    // Input below unencoded is still to be encoded; past the first round it ends on a group.
    std::size_t unencoded = size;
    while (split.pieces > 1 && unencoded > split.minBytes) {
        const std::size_t from = (unencoded + groupOutput - 1) / groupOutput * groupBytes;
        if (from >= unencoded) {
            break;
        }
        ForEachPieceInParallel(UnitPieceEnds(unencoded - from, groupBytes, split),
                               [&](std::size_t begin, std::size_t end) {
                                   encode(data + from + begin, end - begin,
                                          data + (from + begin) / groupBytes * groupOutput);
                               });
        unencoded = from;
    }
    if (unencoded == 0) {
        return;
    }
    constexpr std::size_t kChunk = kGroupsPerChunk * groupBytes;
    char buffer[kGroupsPerChunk * groupOutput];
    for (std::size_t at = (unencoded - 1) / kChunk * kChunk;; at -= kChunk) {
        const std::size_t count = std::min(kChunk, unencoded - at);
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
