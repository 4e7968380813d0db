#include "InputDocument.h"

#include <algorithm>
#include <new>

#include "core/CodePage936.h"
#include "core/LargeText.h"
#include "core/ResultSizeLimit.h"
#include "platform/FileBytes.h"

namespace velmor {

namespace {

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

void InputDocument::Add(std::string_view piece, std::size_t fileSize) {
    if (m_ended) {
        return;
    }
    if (const std::size_t zero = piece.find('\0'); zero != std::string_view::npos) {
        piece = piece.substr(0, zero);
        m_ended = true;
    }
    // The GBK text is seldom longer than its UTF-8 form.
    if (m_text.capacity() < fileSize) {
        ReserveWithRoomToGrow(m_text, fileSize);
    }
    if (!m_utf8) {
        AppendPiece(m_text, piece, fileSize);
        return;
    }
    m_pending += piece;
    if (m_pending.size() >= BatchBytes()) {
        m_pending.erase(0, Utf8ToGbkPartInParallel(m_pending, false, m_text));
    }
}

Text InputDocument::Finish() {
    if (!m_pending.empty()) {
        Utf8ToGbkPartInParallel(m_pending, true, m_text);
        m_pending.clear();
    }
    return std::move(m_text);
}

}  // namespace velmor
