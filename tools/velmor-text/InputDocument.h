#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "core/Text.h"
#include "platform/FileBytes.h"

namespace velmor {

// The document built from input that arrives in pieces: the bytes before the first zero byte
// and, for UTF-8 input, their GBK conversion made a few megabytes at a time on every core, so
// that the UTF-8 text is never held whole. Each piece is read into one small buffer and
// appended from there to the document (GBK) or to the batch waiting for conversion (UTF-8).
class InputDocument {
public:
    explicit InputDocument(bool utf8) : m_utf8(utf8) {}

    // Reads into the document: room for the next bytes where they will stay, then how many
    // came. fileSize is the input's size where it is known (0 otherwise), for reserving room.
    ReadTarget Target();
    std::span<char> Room(std::size_t bytes, std::size_t fileSize);
    void Filled(std::size_t count);

    // Copies a piece in, as reading it would.
    void Add(std::string_view piece, std::size_t fileSize);
    Text Finish();

private:
    bool m_utf8;
    bool m_ended = false;
    Text m_text;
    // UTF-8 bytes not converted yet: a batch being gathered, or the up to three bytes whose
    // reading depends on the bytes of the next piece.
    std::string m_pending;
    // Where each piece is read; bytes after the first zero byte are read here and dropped.
    std::string m_room;
};

}  // namespace velmor
