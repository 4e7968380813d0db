#include "MapStream.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "core/ByteBlocks.h"
#include "core/CodePage936.h"
#include "core/ParallelPieces.h"
#include "core/Utf8.h"

namespace velmor {

namespace {

// The bytes of a step. GBK input is mapped on one core, and its steps are small enough that
// the input, read by the system into the buffer, is still in the core's cache as it is mapped
// and the result as it is written. The conversions of UTF-8 input take several times as long
// and are shared among the cores, so its steps are larger, to pay for the threads.
constexpr std::size_t kGbkStepBytes = std::size_t{512} << 10;
constexpr std::size_t kUtf8StepBytes = std::size_t{4} << 20;
// Dropped bytes are read a megabyte at a time.
constexpr std::size_t kDropBytes = std::size_t{1} << 20;

std::size_t Cores() {
    return std::max(1u, std::thread::hardware_concurrency());
}

void GrowTo(std::string& buffer, std::size_t size) {
    if (buffer.size() < size) {
        buffer.resize(size);
    }
}

bool HoldsEuroSign(std::string_view utf8) {
    const char* const data = utf8.data();
    std::size_t i = 0;
    for (; i + kBlockBytes + 2 <= utf8.size(); i += kBlockBytes) {
        if ((ByteEqualMask(data + i, '\xE2') & ByteEqualMask(data + i + 1, '\x82') &
             ByteEqualMask(data + i + 2, '\xAC')) != 0) {
            return true;
        }
    }
    return utf8.substr(i).find("\xE2\x82\xAC") != std::string_view::npos;
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::size_t LowByteRestart(std::string_view text) {
    for (std::size_t i = text.size(); i > 0; --i) {
        if (static_cast<unsigned char>(text[i - 1]) < 0x30) {
            return i;
        }
    }
    return 0;
}

MapStream::MapStream(const PieceMap& map, bool utf8, Put put, std::size_t stepBytes)
    : m_map(map),
      m_utf8(utf8),
      m_put(std::move(put)),
      m_stepBytes(stepBytes != 0 ? stepBytes
                  : utf8         ? kUtf8StepBytes
                                 : kGbkStepBytes) {}

ReadTarget MapStream::Target() {
    return {[this](std::size_t) { return Room(); }, [this](std::size_t count) { Filled(count); }};
}

std::span<char> MapStream::Room() {
    if (m_ended || Stopped()) {
        GrowTo(m_dropped, kDropBytes);
        return m_dropped;
    }
    // Full only when the last step found no place to cut: UTF-8 without a byte below 0x30.
    if (m_used == m_read.size()) {
        m_read.resize(std::max(m_stepBytes, 2 * m_read.size()));
    }
    return std::span<char>(m_read.data() + m_used, m_read.size() - m_used);
}

void MapStream::Filled(std::size_t count) {
    if (m_ended || Stopped()) {
        return;
    }
    const char* const room = m_read.data() + m_used;
    if (const void* zero = std::memchr(room, '\0', count)) {
        count = static_cast<std::size_t>(static_cast<const char*>(zero) - room);
        m_ended = true;
    }
    m_used += count;
    if (m_ended) {
        MapRead(true);
    } else if (m_used == m_read.size()) {
        MapRead(false);
    }
}

void MapStream::Finish() {
    if (!m_finished && !Stopped()) {
        MapRead(true);
    }
}

std::size_t MapStream::Restart(std::string_view text) const {
    return m_utf8 ? LowByteRestart(text) : m_map.restart(text);
}

void MapStream::MapRead(bool last) {
    m_finished = last;
    const std::string_view text(m_read.data(), m_used);
    const std::size_t cut = last ? text.size() : Restart(text);
    if (cut == 0) {
        return;
    }
    MapStep(text.substr(0, cut));
    std::memmove(m_read.data(), m_read.data() + cut, m_used - cut);
    m_used -= cut;
}

void MapStream::MapStep(std::string_view text) {
    // Each piece begins where the map may start afresh, so its own restart ends it.
    std::vector<std::size_t> ends;
    const std::size_t pieces = m_utf8 ? Cores() : 1;
    std::size_t begin = 0;
    for (std::size_t k = 1; k < pieces; ++k) {
        const std::size_t target = text.size() / pieces * k;
        if (target > begin) {
            const std::size_t end = begin + Restart(text.substr(begin, target - begin));
            if (end > begin) {
                ends.push_back(end);
                begin = end;
            }
        }
    }
    if (text.size() > begin) {
        ends.push_back(text.size());
    }
    if (m_result.size() < ends.size()) {
        m_gbk.resize(ends.size());
        m_result.resize(ends.size());
        m_resultUtf8.resize(ends.size());
        m_resultLength.resize(ends.size());
        m_pieceUnencodable.resize(ends.size());
    }
    RunInParallel(ends.size(), [&](std::size_t i) {
        const std::size_t from = i == 0 ? 0 : ends[i - 1];
        MapPiece(i, text.substr(from, ends[i] - from));
    });
    for (std::size_t i = 0; i < ends.size(); ++i) {
        if (m_pieceUnencodable[i]) {
            m_unencodable = true;
            return;
        }
        const std::string_view result =
            m_utf8 ? std::string_view(m_resultUtf8[i])
                   : std::string_view(m_result[i].data(), m_resultLength[i]);
        if (!result.empty() && !m_put(result)) {
            m_putFailed = true;
            return;
        }
    }
}

void MapStream::MapPiece(std::size_t index, std::string_view piece) {
    std::string& result = m_result[index];
    if (!m_utf8) {
        GrowTo(result, m_map.bound(piece.size()));
        m_resultLength[index] = m_map.write(piece, result.data());
        return;
    }
    // The piece ends after a byte below 0x30 or at the end of the document, so neither
    // conversion has anything left over.
    Text& gbk = m_gbk[index];
    gbk.clear();
    Utf8ToGbkPart(piece, true, gbk);
    GrowTo(result, m_map.bound(gbk.size()));
    const std::size_t length = m_map.write(gbk, result.data());
    std::string& utf8 = m_resultUtf8[index];
    utf8.clear();
    GbkToUtf8Pieces(std::string_view(result.data(), length),
                    [&utf8](std::string_view part) { utf8 += part; });
    m_pieceUnencodable[index] =
        m_map.utf8Result != PieceMap::Utf8Result::Ascii && !IsWellFormedUtf8(utf8);
}

bool IsWellFormedInput(const std::function<bool(const ReadTarget&)>& readInto,
                       bool withoutEuroSign) {
    std::string buffer(kDropBytes, '\0');
    std::size_t used = 0;
    bool ended = false;
    bool whole = true;
    const auto check = [&](std::size_t end) {
        const std::string_view part(buffer.data(), end);
        whole = whole && IsWellFormedUtf8(part) && !(withoutEuroSign && HoldsEuroSign(part));
        std::memmove(buffer.data(), buffer.data() + end, used - end);
        used -= end;
    };
    const bool read =
        readInto({[&](std::size_t) {
                      // An empty room ends the reading: the answer is known.
                      if (ended || !whole) {
                          return std::span<char>();
                      }
                      return std::span<char>(buffer.data() + used, buffer.size() - used);
                  },
                  [&](std::size_t count) {
                      if (ended || !whole) {
                          return;
                      }
                      if (const void* zero = std::memchr(buffer.data() + used, '\0', count)) {
                          count = static_cast<std::size_t>(static_cast<const char*>(zero) -
                                                           (buffer.data() + used));
                          ended = true;
                      }
                      used += count;
                      if (used == buffer.size()) {
                          // Up to the last byte that starts a sequence: what comes before is whole.
                          std::size_t cut = used;
                          for (std::size_t back = 1; back <= 4 && back <= used; ++back) {
                              if (!IsContinuation(buffer[used - back])) {
                                  cut = used - back;
                                  break;
                              }
                          }
                          check(cut);
                      }
                  }});
    check(used);
    return read && whole;
}

}  // namespace velmor
