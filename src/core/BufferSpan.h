#pragma once

#include <cstddef>

namespace velmor {

// A span [from, to] of a buffer kept in place across the buffer's edits: bytes inserted
// inside it or at its end widen it, bytes deleted from it narrow it.
struct BufferSpan {
    std::size_t from;
    std::size_t to;

    void KeepAcrossInsert(std::size_t position, std::size_t length) {
        from += from > position ? length : 0;
        to += to >= position ? length : 0;
    }
    void KeepAcrossDelete(std::size_t position, std::size_t length) {
        const auto moved = [position, length](std::size_t at) {
            return at <= position ? at : at < position + length ? position : at - length;
        };
        from = moved(from);
        to = moved(to);
    }
};

}  // namespace velmor
