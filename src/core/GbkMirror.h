#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/BufferSpan.h"
#include "core/SharedText.h"

namespace velmor {

// The document's GBK text kept in step with an editor's UTF-8 buffer edit by edit, so that
// reading it never converts the whole buffer. Chunks end after a byte below 0x30, which is
// the same ASCII byte in both encodings and a fresh start for both converters, or, in text
// without such bytes, after a character of a chunk that holds characters only; so every
// chunk converts on its own exactly as it does inside the whole.
class GbkMirror {
public:
    // The editor's buffer bytes [position, position + length) as they are at the call.
    using BufferReader = std::function<std::string_view(std::size_t position, std::size_t length)>;

    explicit GbkMirror(BufferReader reader) : m_reader(std::move(reader)) {}

    const SharedText& Text() const { return m_text; }
    std::size_t Utf8Size() const { return m_utf8Size; }

    // Where an adopted text's UTF-8 goes: its whole size first, then its pieces in order.
    struct Utf8Sink {
        std::function<void(std::size_t size)> reserve;
        std::function<void(std::string_view piece)> append;
    };
    // A whole new text cut into the mirror's chunks, with the size of its UTF-8; worked out
    // without the editor, so on any thread.
    struct Adoption {
        SharedText text;
        std::size_t utf8Size = 0;
    };
    static Adoption Prepare(const SharedText& text);
    // The same for a text given as the UTF-8 the buffer is to hold, converted on every core.
    static Adoption PrepareUtf8(std::string_view utf8);
    // Hands the UTF-8 of a prepared text to append in pieces of about a megabyte; any thread.
    static void HandOver(const Adoption& adoption,
                         const std::function<void(std::string_view piece)>& append);
    // Takes a prepared text whose UTF-8 the editor's buffer now holds.
    void Install(Adoption adoption);
    // Takes a whole new text and hands the UTF-8 buffer the editor must then hold to sink,
    // piece by piece, so that no whole UTF-8 copy lives beside the editor's.
    void Adopt(const SharedText& text, const Utf8Sink& sink);
    // The same, returning the whole UTF-8 buffer.
    std::string Adopt(const SharedText& text);
    // Builds the mirror from the whole buffer.
    void Rebuild(std::string_view utf8);
    // Called once the buffer took length bytes at position (before any further edit).
    void AfterInsert(std::size_t position, std::size_t length);
    // Called before the buffer loses length bytes at position.
    void BeforeDelete(std::size_t position, std::size_t length);

    // Bytes that are no UTF-8 (raw bytes of the text) spell, in the buffer, the very bytes;
    // but an edit beside one can make the text's bytes read as other characters than the
    // buffer shows (a lone lead byte, then a typed letter: one double-byte character). A span
    // [start, start + length) of the buffer and the spelling it must take to show the text.
    struct Respelling {
        std::size_t start;
        std::size_t length;
        std::string utf8;
    };
    // The spans, in order, that the edits since the last call left spelled otherwise than the
    // text reads; only chunks an edit left with raw bytes are looked at.
    std::vector<Respelling> TakeRespellings();
    // Drops what TakeRespellings would look at, once the buffer took the spellings it gave.
    void ForgetRawBytes();

    // Editor positions (characters of the GBK text) of buffer positions and back, counted
    // chunk by chunk: only the chunk holding the position is converted.
    // The characters before a buffer position on a character boundary.
    std::size_t CharactersBefore(std::size_t position) const;
    // The buffer bytes the first characters of the text convert to, and the buffer bytes of
    // the chunk they end in, for the caller to compare when the count ends inside a buffer
    // character (half of a four-byte sequence, say).
    struct BufferPrefix {
        std::size_t chunkStart;
        std::string converted;
        std::string_view buffer;
    };
    BufferPrefix BufferPrefixOf(std::size_t characters) const;

private:
    struct Located {
        std::size_t index;
        std::size_t utf8Start;
    };
    // The chunk holding the buffer byte at position (the last chunk for the very end).
    Located Locate(std::size_t position) const;
    void ReplaceChunks(std::size_t first, std::size_t last, std::string_view utf8);
    // Grows region (the buffer from a chunk's start to end, chunks up to last replaced) by
    // the chunks that follow until it may end a chunk; true when it is characters only.
    bool TakeChunksToSafeEnd(std::string& region, std::size_t& last, std::size_t& end) const;
    std::string Read(std::size_t position, std::size_t length) const;
    // Keeps the buffer span that edits left with raw bytes, through the edits that follow.
    void NoteRawBytes(std::size_t start, std::size_t length, bool characters);

    BufferReader m_reader;
    SharedText m_text;
    std::size_t m_utf8Size = 0;
    // The buffer span [from, to] that edits left with stray bytes, to look at.
    std::optional<BufferSpan> m_raw;
};

// The UTF-8 size of a text whose chunks all carry theirs (a mirror's text and its snapshots),
// counted from the chunks; otherwise measured chunk by chunk as the editor would take it.
std::size_t Utf8SizeOf(const SharedText& text);

// Cuts UTF-8 bytes after bytes below 0x30 into chunks of about the working size and appends
// their GBK forms to chunks.
void AppendUtf8Chunks(std::string_view utf8, SharedText::Chunks& chunks);

}  // namespace velmor
