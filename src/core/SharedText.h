#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "core/Text.h"

namespace velmor {

// An immutable document text held as a list of chunks, each a view into a shared buffer.
// Copies and versions derived from one another share every chunk they have in common, so a
// snapshot costs a pointer and an edit costs the chunks it touches.
class SharedText {
public:
    struct Chunk {
        std::shared_ptr<const std::string> buffer;
        std::size_t start = 0;
        std::size_t length = 0;
        // Bytes of the chunk in the editor's UTF-8 buffer, where an editor keeps it.
        std::size_t utf8Length = 0;

        std::string_view Bytes() const { return std::string_view(*buffer).substr(start, length); }
    };
    using Chunks = std::vector<Chunk>;

    SharedText() = default;
    // Takes the text as one chunk.
    explicit SharedText(Text text);
    explicit SharedText(Chunks chunks);

    std::size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }
    const Chunks& Pieces() const;
    // The whole text as one new byte string.
    Text Flatten() const;
    // The buffer the chunks cut in order from its start to its end, when the whole text is
    // one buffer so cut (a loaded file or a command's result, as an editor keeps it); null
    // otherwise.
    const std::string* WholeBuffer() const;
    // True when both hold the very same list of chunks (a copy of one another).
    bool SameVersion(const SharedText& other) const { return m_chunks == other.m_chunks; }

    friend bool operator==(const SharedText& a, const SharedText& b);

private:
    std::shared_ptr<const Chunks> m_chunks;
    std::size_t m_size = 0;
};

}  // namespace velmor
