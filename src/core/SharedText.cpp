#include "core/SharedText.h"

#include <algorithm>
#include <cstring>
#include "core/LargeText.h"

namespace velmor {

namespace {

const SharedText::Chunks& NoChunks() {
    static const SharedText::Chunks none;
    return none;
}

// Walks the chunks of a text byte range by byte range.
class ChunkCursor {
public:
    explicit ChunkCursor(const SharedText::Chunks& chunks) : m_chunks(chunks) {}

    bool AtEnd() const { return m_index == m_chunks.size(); }
    const SharedText::Chunk& Current() const { return m_chunks[m_index]; }
    std::size_t Offset() const { return m_offset; }
    std::size_t Left() const { return Current().length - m_offset; }
    const char* Data() const { return Current().buffer->data() + Current().start + m_offset; }

    void Advance(std::size_t bytes) {
        m_offset += bytes;
        while (!AtEnd() && m_offset == Current().length) {
            ++m_index;
            m_offset = 0;
        }
    }

private:
    const SharedText::Chunks& m_chunks;
    std::size_t m_index = 0;
    std::size_t m_offset = 0;
};

bool SameChunkAt(const ChunkCursor& a, const ChunkCursor& b) {
    return a.Offset() == 0 && b.Offset() == 0 && a.Current().buffer == b.Current().buffer &&
           a.Current().start == b.Current().start && a.Current().length == b.Current().length;
}

}  // namespace

SharedText::SharedText(Text text) {
    if (text.empty()) {
        return;
    }
    m_size = text.size();
    auto buffer = std::make_shared<const std::string>(std::move(text));
    m_chunks = std::make_shared<const Chunks>(Chunks{{buffer, 0, m_size, 0}});
}

SharedText::SharedText(Chunks chunks) {
    std::erase_if(chunks, [](const Chunk& chunk) { return chunk.length == 0; });
    for (const Chunk& chunk : chunks) {
        m_size += chunk.length;
    }
    if (!chunks.empty()) {
        m_chunks = std::make_shared<const Chunks>(std::move(chunks));
    }
}

const SharedText::Chunks& SharedText::Pieces() const {
    return m_chunks ? *m_chunks : NoChunks();
}

Text SharedText::Flatten() const {
    Text text;
    ReserveLargeText(text, m_size);
    for (const Chunk& chunk : Pieces()) {
        text.append(chunk.buffer->data() + chunk.start, chunk.length);
    }
    return text;
}

const std::string* SharedText::WholeBuffer() const {
    const Chunks& chunks = Pieces();
    if (chunks.empty()) {
        return nullptr;
    }
    const std::string* buffer = chunks.front().buffer.get();
    std::size_t at = 0;
    for (const Chunk& chunk : chunks) {
        if (chunk.buffer.get() != buffer || chunk.start != at) {
            return nullptr;
        }
        at += chunk.length;
    }
    return at == buffer->size() ? buffer : nullptr;
}

bool operator==(const SharedText& a, const SharedText& b) {
    if (a.m_size != b.m_size) {
        return false;
    }
    if (a.SameVersion(b)) {
        return true;
    }
    ChunkCursor left(a.Pieces());
    ChunkCursor right(b.Pieces());
    while (!left.AtEnd()) {
        if (SameChunkAt(left, right)) {
            const std::size_t whole = left.Left();
            left.Advance(whole);
            right.Advance(whole);
            continue;
        }
        const std::size_t span = std::min(left.Left(), right.Left());
        if (std::memcmp(left.Data(), right.Data(), span) != 0) {
            return false;
        }
        left.Advance(span);
        right.Advance(span);
    }
    return true;
}

}  // namespace velmor
