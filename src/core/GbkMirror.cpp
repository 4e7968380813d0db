#include "core/GbkMirror.h"

#include <algorithm>
#include <future>
#include <utility>

#include "core/CodePage936.h"
#include "core/LargeText.h"
#include "core/ParallelPieces.h"
#include "core/Positions.h"

namespace velmor {

namespace {

// Large enough that a 100 MB text is a few thousand chunks, small enough that rewriting one
// per keystroke costs microseconds.
constexpr std::size_t kChunkTarget = 64 * 1024;

// Adopted text reaches the editor in pieces of about this size: few enough calls, and a
// small buffer beside the editor's.
constexpr std::size_t kHandOverBatch = 1024 * 1024;

// Texts of this size and more are measured and converted on more than one core.
constexpr std::size_t kParallelMeasureBytes = std::size_t{8} << 20;

constexpr unsigned char kSafeBelow = 0x30;

bool IsSafeEnd(unsigned char byte) {
    return byte < kSafeBelow;
}

// The end of the chunk that starts at from: just after the first byte below 0x30 at or past
// the working size, or the end of the bytes.
std::size_t ChunkEnd(std::string_view bytes, std::size_t from) {
    std::size_t at = from + kChunkTarget - 1;
    while (at < bytes.size()) {
        if (IsSafeEnd(static_cast<unsigned char>(bytes[at]))) {
            return at + 1;
        }
        ++at;
    }
    return bytes.size();
}

}  // namespace

void AppendUtf8Chunks(std::string_view utf8, SharedText::Chunks& chunks) {
    for (std::size_t from = 0; from < utf8.size();) {
        const std::size_t end = ChunkEnd(utf8, from);
        auto gbk = std::make_shared<const std::string>(Utf8ToGbk(utf8.substr(from, end - from)));
        const std::size_t length = gbk->size();
        chunks.push_back({std::move(gbk), 0, length, end - from});
        from = end;
    }
}

GbkMirror::Adoption GbkMirror::Prepare(const SharedText& text) {
    SharedText::Chunks chunks;
    chunks.reserve(text.Size() / kChunkTarget + text.Pieces().size());
    for (const SharedText::Chunk& piece : text.Pieces()) {
        const std::string_view bytes = piece.Bytes();
        for (std::size_t from = 0; from < bytes.size();) {
            const std::size_t end = ChunkEnd(bytes, from);
            chunks.push_back({piece.buffer, piece.start + from, end - from, 0});
            from = end;
        }
    }
    // Measuring is the cost; the cut is a few bytes looked at per chunk.
    const std::size_t groups =
        std::min<std::size_t>(DefaultPieceSplit().pieces, text.Size() / kParallelMeasureBytes + 1);
    RunInParallel(groups, [&chunks, groups](std::size_t group) {
        for (std::size_t i = chunks.size() * group / groups;
             i < chunks.size() * (group + 1) / groups; ++i) {
            chunks[i].utf8Length = Utf8SizeOfGbk(chunks[i].Bytes());
        }
    });
    std::size_t utf8Size = 0;
    for (const SharedText::Chunk& chunk : chunks) {
        utf8Size += chunk.utf8Length;
    }
    return {SharedText(std::move(chunks)), utf8Size};
}

void GbkMirror::HandOver(const Adoption& adoption,
                         const std::function<void(std::string_view piece)>& append) {
    // The next batch is converted on another core while the receiver takes this one, which
    // costs it more than the conversion does.
    const SharedText::Chunks& chunks = adoption.text.Pieces();
    const auto convert = [&chunks](std::size_t first) {
        std::pair<std::string, std::size_t> batch;
        batch.first.reserve(kHandOverBatch + kChunkTarget * 4);
        std::size_t i = first;
        while (i < chunks.size() && batch.first.size() < kHandOverBatch) {
            GbkToUtf8Pieces(chunks[i].Bytes(),
                            [&batch](std::string_view piece) { batch.first += piece; });
            ++i;
        }
        batch.second = i;
        return batch;
    };
    if (adoption.utf8Size < kParallelMeasureBytes) {
        for (std::size_t next = 0; next < chunks.size();) {
            auto [batch, end] = convert(next);
            append(batch);
            next = end;
        }
        return;
    }
    std::future<std::pair<std::string, std::size_t>> ahead =
        std::async(std::launch::async, convert, 0);
    while (ahead.valid()) {
        auto [batch, end] = ahead.get();
        if (end < chunks.size()) {
            ahead = std::async(std::launch::async, convert, end);
        }
        append(batch);
    }
}

void GbkMirror::Install(Adoption adoption) {
    m_text = std::move(adoption.text);
    m_utf8Size = adoption.utf8Size;
}

void GbkMirror::Adopt(const SharedText& text, const Utf8Sink& sink) {
    Adoption adoption = Prepare(text);
    sink.reserve(adoption.utf8Size);
    HandOver(adoption, sink.append);
    Install(std::move(adoption));
}

std::string GbkMirror::Adopt(const SharedText& text) {
    std::string utf8;
    Adopt(text, {[&](std::size_t size) { ReserveLargeText(utf8, size); },
                 [&](std::string_view piece) { utf8 += piece; }});
    return utf8;
}

std::size_t Utf8SizeOf(const SharedText& text) {
    std::size_t size = 0;
    for (const SharedText::Chunk& chunk : text.Pieces()) {
        if (chunk.utf8Length == 0) {
            return GbkMirror::Prepare(text).utf8Size;
        }
        size += chunk.utf8Length;
    }
    return size;
}

void GbkMirror::Rebuild(std::string_view utf8) {
    SharedText::Chunks chunks;
    AppendUtf8Chunks(utf8, chunks);
    m_text = SharedText(std::move(chunks));
    m_utf8Size = utf8.size();
}

GbkMirror::Located GbkMirror::Locate(std::size_t position) const {
    const SharedText::Chunks& chunks = m_text.Pieces();
    std::size_t start = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (position < start + chunks[i].utf8Length || i + 1 == chunks.size()) {
            return {i, start};
        }
        start += chunks[i].utf8Length;
    }
    return {0, 0};
}

std::string GbkMirror::Read(std::size_t position, std::size_t length) const {
    if (length == 0) {
        return {};
    }
    return std::string(m_reader(position, length));
}

void GbkMirror::ReplaceChunks(std::size_t first, std::size_t last, std::string_view utf8) {
    const SharedText::Chunks& old = m_text.Pieces();
    SharedText::Chunks chunks;
    chunks.reserve(old.size() + utf8.size() / kChunkTarget + 1);
    chunks.insert(chunks.end(), old.begin(), old.begin() + static_cast<std::ptrdiff_t>(first));
    AppendUtf8Chunks(utf8, chunks);
    chunks.insert(chunks.end(),
                  old.begin() + static_cast<std::ptrdiff_t>(std::min(last, old.size())), old.end());
    m_text = SharedText(std::move(chunks));
}

void GbkMirror::AfterInsert(std::size_t position, std::size_t length) {
    if (length == 0) {
        return;
    }
    m_utf8Size += length;
    if (m_text.Pieces().empty()) {
        ReplaceChunks(0, 0, Read(0, length));
        return;
    }
    // The chunks still measure the buffer before the insertion.
    const Located chunk = Locate(position);
    const std::size_t end = chunk.utf8Start + m_text.Pieces()[chunk.index].utf8Length;
    ReplaceChunks(chunk.index, chunk.index + 1,
                  Read(chunk.utf8Start, end + length - chunk.utf8Start));
}

void GbkMirror::BeforeDelete(std::size_t position, std::size_t length) {
    if (length == 0 || m_text.Pieces().empty()) {
        return;
    }
    const SharedText::Chunks& chunks = m_text.Pieces();
    const Located first = Locate(position);
    std::size_t last = first.index;
    std::size_t end = first.utf8Start + chunks[last].utf8Length;
    while (end < position + length && last + 1 < chunks.size()) {
        ++last;
        end += chunks[last].utf8Length;
    }
    std::string region = Read(first.utf8Start, position - first.utf8Start);
    region += Read(position + length, end - (position + length));
    // The region must end where both converters start afresh, or take the next chunk along.
    while (!region.empty() && !IsSafeEnd(static_cast<unsigned char>(region.back())) &&
           last + 1 < chunks.size()) {
        ++last;
        region += Read(end, chunks[last].utf8Length);
        end += chunks[last].utf8Length;
    }
    m_utf8Size -= length;
    ReplaceChunks(first.index, last + 1, region);
}

std::size_t GbkMirror::CharactersBefore(std::size_t position) const {
    std::size_t characters = 0;
    std::size_t start = 0;
    for (const SharedText::Chunk& chunk : m_text.Pieces()) {
        if (position < start + chunk.utf8Length) {
            // A chunk starts both converters afresh, so its prefix converts on its own.
            return characters + static_cast<std::size_t>(
                                    CharacterCount(Utf8ToGbk(m_reader(start, position - start))));
        }
        characters += static_cast<std::size_t>(CharacterCount(chunk.Bytes()));
        start += chunk.utf8Length;
    }
    return characters;
}

GbkMirror::BufferPrefix GbkMirror::BufferPrefixOf(std::size_t characters) const {
    const SharedText::Chunks& chunks = m_text.Pieces();
    std::size_t start = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const std::string_view gbk = chunks[i].Bytes();
        const std::size_t inChunk = static_cast<std::size_t>(CharacterCount(gbk));
        if (characters < inChunk || i + 1 == chunks.size()) {
            const int count = static_cast<int>(std::min(characters, inChunk));
            return {start, GbkToUtf8(gbk.substr(0, ByteOffsetOfCharacters(gbk, count))),
                    m_reader(start, chunks[i].utf8Length)};
        }
        characters -= inChunk;
        start += chunks[i].utf8Length;
    }
    return {0, {}, {}};
}

}  // namespace velmor
