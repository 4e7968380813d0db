#include "InputDocument.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/CodePage936.h"
#include "core/LargeText.h"
#include "core/ResultSizeLimit.h"
#include "platform/FileBytes.h"

namespace velmor {

namespace {

// Bytes asked of each read: few system calls, and a room that stays in the cache while it
// is checked for a zero byte.
constexpr std::size_t kReadBytes = std::size_t{1} << 20;

// UTF-8 bytes gathered before they are converted: enough for every core.
std::size_t BatchBytes() {
    const PieceSplit split = DefaultPieceSplit();
    return split.pieces * split.minBytes;
}

// Room after the document, taken from the address space only (pages are faulted in when they
// are written): a command that grows the text, an encoder for one, then grows it where it lies
// instead of copying it into a new buffer. Where the address space will not give that much,
// the document gets what it needs.
void ReserveWithRoomToGrow(Text& text, std::size_t size) {
    try {
        ReserveLargeText(text, size + std::min(2 * size, kMaxResultBytes), size);
    } catch (const std::bad_alloc&) {
        ReserveLargeText(text, size);
    }
}

}  // namespace

ReadTarget InputDocument::Target() {
    return {[this](std::size_t fileSize) { return Room(kReadBytes, fileSize); },
            [this](std::size_t count) { Filled(count); }};
}

std::span<char> InputDocument::Room(std::size_t bytes, std::size_t fileSize) {
    // Read into a buffer kept in the cache and appended from there: growing the document to
    // read straight into it would first fill the room with zeros.
    if (m_room.size() < bytes) {
        m_room.resize(bytes);
    }
    if (!m_ended && m_text.capacity() < fileSize) {
        // The GBK text is seldom longer than its UTF-8 form.
        ReserveWithRoomToGrow(m_text, fileSize);
    }
    return std::span<char>(m_room.data(), bytes);
}

void InputDocument::Filled(std::size_t count) {
    if (m_ended) {
        return;
    }
    if (const void* zero = std::memchr(m_room.data(), '\0', count)) {
        count = static_cast<std::size_t>(static_cast<const char*>(zero) - m_room.data());
        m_ended = true;
    }
    Text& buffer = m_utf8 ? m_pending : m_text;
    if (buffer.capacity() < buffer.size() + count) {
        // A pipe, or a file that grows meanwhile: twice the room, as a string would.
        ReserveLargeText(buffer, std::max(buffer.size() + count, 2 * buffer.capacity()),
                         buffer.size() + count);
    }
    buffer.append(m_room.data(), count);
    if (m_utf8 && m_pending.size() >= BatchBytes()) {
        m_pending.erase(0, Utf8ToGbkPartInParallel(m_pending, false, m_text));
    }
}

void InputDocument::Add(std::string_view piece, std::size_t fileSize) {
    const std::span<char> room = Room(piece.size(), fileSize);
    std::memcpy(room.data(), piece.data(), piece.size());
    Filled(piece.size());
}

Text InputDocument::Finish() {
    if (!m_pending.empty()) {
        Utf8ToGbkPartInParallel(m_pending, true, m_text);
        m_pending.clear();
    }
    return std::move(m_text);
}

}  // namespace velmor
