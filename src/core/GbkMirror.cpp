#include "core/GbkMirror.h"

#include <algorithm>
#include <future>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/CodePage936.h"
#include "core/GbkCharacter.h"
#include "core/LargeText.h"
#include "core/ParallelPieces.h"
#include "core/Positions.h"
#include "core/Utf8.h"

namespace velmor {

namespace {

// Large enough that a 100 MB text is a few thousand chunks, small enough that rewriting one
// per keystroke costs microseconds.
constexpr std::size_t kChunkTarget = 64 * 1024;

// Adopted text reaches the editor in pieces of about this size: few enough calls and threads,
// and small buffers beside the editor's.
constexpr std::size_t kHandOverBatch = 4 * 1024 * 1024;

constexpr unsigned char kSafeBelow = 0x30;

// How far past the working size a chunk looks for a byte below 0x30 before it is cut after a
// character instead (Chinese without spaces or line breaks, four-byte characters).
constexpr std::size_t kSafeByteSearch = 4096;

bool IsSafeEnd(unsigned char byte) {
    return byte < kSafeBelow;
}

// Just after the first byte below 0x30 at or past the working size, if one comes soon.
std::optional<std::size_t> SafeByteEnd(std::string_view bytes, std::size_t from) {
    const std::size_t stop = std::min(bytes.size(), from + kChunkTarget + kSafeByteSearch);
    for (std::size_t at = from + kChunkTarget - 1; at < stop; ++at) {
        if (IsSafeEnd(static_cast<unsigned char>(bytes[at]))) {
            return at + 1;
        }
    }
    if (stop == bytes.size()) {
        return bytes.size();
    }
    return std::nullopt;
}

// The first byte below 0x30 past the search, or the end of the bytes.
std::size_t LateSafeByteEnd(std::string_view bytes, std::size_t from) {
    for (std::size_t at = from + kChunkTarget + kSafeByteSearch; at < bytes.size(); ++at) {
        if (IsSafeEnd(static_cast<unsigned char>(bytes[at]))) {
            return at + 1;
        }
    }
    return bytes.size();
}

// The end of the chunk of UTF-8 bytes that starts at from. A chunk that is all characters
// may also end after any of them: their GBK bytes are those characters read alone or inside
// the whole, and the next chunk starts both converters afresh.
std::size_t Utf8ChunkEnd(std::string_view bytes, std::size_t from) {
    if (const std::optional<std::size_t> end = SafeByteEnd(bytes, from)) {
        return *end;
    }
    std::size_t cut = from + kChunkTarget;
    while (cut > from && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    if (cut > from && IsWellFormedUtf8(bytes.substr(from, cut - from))) {
        return cut;
    }
    return LateSafeByteEnd(bytes, from);
}

// The same for GBK bytes: after a character read from the chunk's start, when every byte
// read so far was part of a character.
std::size_t GbkChunkEnd(std::string_view bytes, std::size_t from) {
    if (const std::optional<std::size_t> end = SafeByteEnd(bytes, from)) {
        return *end;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + from;
    const auto* const target = p + kChunkTarget;
    const auto* const end = reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size();
    while (p < target) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const GbkCharacter character = ReadGbkCharacter(p, end);
        if (character.rawPair || character.codePoint - kRawByteBase < 0x100) {
            return LateSafeByteEnd(bytes, from);
        }
        p += character.length;
    }
    return static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(bytes.data()));
}

}  // namespace

void AppendUtf8Chunks(std::string_view utf8, SharedText::Chunks& chunks) {
    for (std::size_t from = 0; from < utf8.size();) {
        const std::size_t end = Utf8ChunkEnd(utf8, from);
        auto gbk = std::make_shared<const std::string>(Utf8ToGbk(utf8.substr(from, end - from)));
        const std::size_t length = gbk->size();
        chunks.push_back({std::move(gbk), 0, length, end - from});
        from = end;
    }
}

namespace {

// The mirror's chunks of bytes, a part of buffer starting at offset, appended to chunks; the
// UTF-8 size of the part is returned.
std::size_t CutIntoChunks(const std::shared_ptr<const std::string>& buffer, std::size_t offset,
                          std::string_view bytes, SharedText::Chunks& chunks) {
    std::size_t utf8Size = 0;
    for (std::size_t from = 0; from < bytes.size();) {
        const std::size_t end = GbkChunkEnd(bytes, from);
        const std::size_t length = Utf8SizeOfGbk(bytes.substr(from, end - from));
        chunks.push_back({buffer, offset + from, end - from, length});
        utf8Size += length;
        from = end;
    }
    return utf8Size;
}

// A batch of consecutive chunks handed over together: [first, last) and its UTF-8 size.
struct Batch {
    std::size_t first;
    std::size_t last;
    std::size_t utf8Size;
};

std::vector<Batch> Batches(const SharedText::Chunks& chunks, std::size_t target) {
    std::vector<Batch> batches;
    Batch batch{0, 0, 0};
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        batch.last = i + 1;
        batch.utf8Size += chunks[i].utf8Length;
        if (batch.utf8Size >= target) {
            batches.push_back(batch);
            batch = {i + 1, i + 1, 0};
        }
    }
    if (batch.last > batch.first) {
        batches.push_back(batch);
    }
    return batches;
}

std::string ConvertBatch(const SharedText::Chunks& chunks, const Batch& batch) {
    std::string utf8;
    utf8.reserve(batch.utf8Size);
    for (std::size_t i = batch.first; i < batch.last; ++i) {
        GbkToUtf8Pieces(chunks[i].Bytes(), [&utf8](std::string_view piece) { utf8 += piece; });
    }
    return utf8;
}

}  // namespace

GbkMirror::Adoption GbkMirror::Prepare(const SharedText& text) {
    SharedText::Chunks chunks;
    chunks.reserve(text.Size() / kChunkTarget + text.Pieces().size());
    std::size_t utf8Size = 0;
    for (const SharedText::Chunk& piece : text.Pieces()) {
        const std::string_view bytes = piece.Bytes();
        // A loaded file is one piece: cut on every core at line feeds, which end chunks anyway.
        const std::vector<std::size_t> ends = LineFeedPieceEnds(bytes, DefaultPieceSplit());
        std::vector<SharedText::Chunks> parts(ends.size());
        std::vector<std::size_t> sizes(ends.size());
        RunInParallel(ends.size(), [&](std::size_t i) {
            const std::size_t begin = i == 0 ? 0 : ends[i - 1];
            sizes[i] = CutIntoChunks(piece.buffer, piece.start + begin,
                                     bytes.substr(begin, ends[i] - begin), parts[i]);
        });
        for (std::size_t i = 0; i < parts.size(); ++i) {
            chunks.insert(chunks.end(), parts[i].begin(), parts[i].end());
            utf8Size += sizes[i];
        }
    }
    return {SharedText(std::move(chunks)), utf8Size};
}

GbkMirror::Adoption GbkMirror::PrepareUtf8(std::string_view utf8) {
    // Line feeds end chunks anyway: the pieces between them convert on their own.
    const std::vector<std::size_t> ends = LineFeedPieceEnds(utf8, DefaultPieceSplit());
    std::vector<SharedText::Chunks> parts(ends.size());
    RunInParallel(ends.size(), [&](std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        AppendUtf8Chunks(utf8.substr(begin, ends[i] - begin), parts[i]);
    });
    SharedText::Chunks chunks;
    chunks.reserve(utf8.size() / kChunkTarget + parts.size());
    for (SharedText::Chunks& part : parts) {
        chunks.insert(chunks.end(), std::make_move_iterator(part.begin()),
                      std::make_move_iterator(part.end()));
    }
    return {SharedText(std::move(chunks)), utf8.size()};
}

void GbkMirror::HandOver(const Adoption& adoption,
                         const std::function<void(std::string_view piece)>& append) {
    const SharedText::Chunks& chunks = adoption.text.Pieces();
    const std::vector<Batch> batches = Batches(chunks, kHandOverBatch);
    // The next batch is converted on a thread of its own while this one is appended, so the
    // widget's own work on the text and the conversion overlap.
    const bool overlap = batches.size() > 1 && std::thread::hardware_concurrency() > 1;
    std::future<std::string> next;
    for (std::size_t i = 0; i < batches.size(); ++i) {
        std::string batch = next.valid() ? next.get() : ConvertBatch(chunks, batches[i]);
        if (overlap && i + 1 < batches.size()) {
            next = std::async(std::launch::async, [&chunks, &batches, i] {
                return ConvertBatch(chunks, batches[i + 1]);
            });
        }
        append(batch);
    }
}

void GbkMirror::Install(Adoption adoption) {
    m_text = std::move(adoption.text);
    m_utf8Size = adoption.utf8Size;
    // A whole text converted from its bytes spells what they read.
    m_raw.reset();
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
    Install(PrepareUtf8(utf8));
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
        const std::string region = Read(0, length);
        ReplaceChunks(0, 0, region);
        NoteRawBytes(0, region.size(), IsWellFormedUtf8(region));
        return;
    }
    // The chunks still measure the buffer before the insertion.
    const SharedText::Chunks& chunks = m_text.Pieces();
    const Located chunk = Locate(position);
    std::size_t last = chunk.index;
    std::size_t end = chunk.utf8Start + chunks[last].utf8Length + length;
    std::string region = Read(chunk.utf8Start, end - chunk.utf8Start);
    const bool characters = TakeChunksToSafeEnd(region, last, end);
    ReplaceChunks(chunk.index, last + 1, region);
    if (m_raw) {
        m_raw->KeepAcrossInsert(position, length);
    }
    NoteRawBytes(chunk.utf8Start, region.size(), characters);
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
    const bool characters = TakeChunksToSafeEnd(region, last, end);
    m_utf8Size -= length;
    ReplaceChunks(first.index, last + 1, region);
    if (m_raw) {
        m_raw->KeepAcrossDelete(position, length);
    }
    NoteRawBytes(first.utf8Start, region.size(), characters);
}

bool GbkMirror::TakeChunksToSafeEnd(std::string& region, std::size_t& last,
                                    std::size_t& end) const {
    // The region must end where both converters start afresh: at a byte below 0x30, or after
    // characters only. Otherwise it takes the next chunks along, and then only a byte below
    // 0x30 ends it.
    const bool characters = IsWellFormedUtf8(region);
    const SharedText::Chunks& chunks = m_text.Pieces();
    if (characters || region.empty() || IsSafeEnd(static_cast<unsigned char>(region.back()))) {
        return characters;
    }
    while (last + 1 < chunks.size()) {
        ++last;
        region += Read(end, chunks[last].utf8Length);
        end += chunks[last].utf8Length;
        if (IsSafeEnd(static_cast<unsigned char>(region.back()))) {
            break;
        }
    }
    return false;
}

void GbkMirror::NoteRawBytes(std::size_t start, std::size_t length, bool characters) {
    if (characters) {
        // Characters alone spell exactly what their GBK bytes read as.
        return;
    }
    const std::size_t end = start + length;
    m_raw = m_raw ? BufferSpan{std::min(m_raw->from, start), std::max(m_raw->to, end)}
                  : BufferSpan{start, end};
}

void GbkMirror::ForgetRawBytes() {
    m_raw.reset();
}

std::vector<GbkMirror::Respelling> GbkMirror::TakeRespellings() {
    std::vector<Respelling> respellings;
    if (!m_raw || m_text.Pieces().empty()) {
        m_raw.reset();
        return respellings;
    }
    const BufferSpan span = *std::exchange(m_raw, std::nullopt);
    const SharedText::Chunks& chunks = m_text.Pieces();
    // A span that starts a chunk also takes the chunk that ends there.
    const Located located = Locate(span.from);
    std::size_t i = located.index;
    std::size_t start = located.utf8Start;
    if (i > 0 && start == span.from) {
        --i;
        start -= chunks[i].utf8Length;
    }
    for (; i < chunks.size() && start <= span.to; ++i) {
        const std::size_t length = chunks[i].utf8Length;
        const std::string utf8 = Read(start, length);
        if (!IsWellFormedUtf8(utf8)) {
            const std::string spelled = GbkToUtf8(chunks[i].Bytes());
            const auto [head, unused] =
                std::mismatch(utf8.begin(), utf8.end(), spelled.begin(), spelled.end());
            if (head != utf8.end() || spelled.size() != utf8.size()) {
                const auto same = static_cast<std::size_t>(head - utf8.begin());
                std::size_t tail = 0;
                while (tail < utf8.size() - same && tail < spelled.size() - same &&
                       utf8[utf8.size() - 1 - tail] == spelled[spelled.size() - 1 - tail]) {
                    ++tail;
                }
                respellings.push_back({start + same, utf8.size() - same - tail,
                                       spelled.substr(same, spelled.size() - same - tail)});
            }
        }
        start += length;
    }
    return respellings;
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
