#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Text.h"

namespace velmor {

// The document built from input that arrives in pieces: the bytes before the first zero byte
// and, for UTF-8 input, their GBK conversion made a few megabytes at a time on every core, so
// that the UTF-8 text is never held whole.
class InputDocument {
public:
    explicit InputDocument(bool utf8) : m_utf8(utf8) {}

    // fileSize is the input's size where it is known (0 otherwise), for reserving room.
    void Add(std::string_view piece, std::size_t fileSize);
    Text Finish();

private:
    bool m_utf8;
    bool m_ended = false;
    Text m_text;
    // UTF-8 bytes not converted yet: a batch being gathered, or the up to three bytes whose
    // reading depends on the bytes of the next piece.
    std::string m_pending;
};

}  // namespace velmor
