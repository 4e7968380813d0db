#include "MapStream.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

#include "core/ByteBlocks.h"
#include "core/CodePage936.h"
#include "core/Utf8.h"

namespace velmor {

namespace {

// The bytes of a step: small enough that the input, read by the system into the buffer, is
// still in the core's cache as it is mapped (and converted), and the result as it is written.
constexpr std::size_t kStepBytes = std::size_t{512} << 10;
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

// A thread that maps one piece of each step beside the calling thread, kept for the whole
// stream: starting a thread for every step would cost more than a step of a size that stays
// in the cores' caches takes.
class MapStream::Helper {
public:
    Helper() : m_thread([this] { Serve(); }) {}
    ~Helper() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // Runs theirs on the helper and ours here, and returns when both are done.
    void Run(const std::function<void()>& theirs, const std::function<void()>& ours) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_work = &theirs;
        }
        m_wake.notify_one();
        std::exception_ptr ourError;
        try {
            ours();
        } catch (...) {
            ourError = std::current_exception();
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return m_work == nullptr; });
        if (ourError) {
            std::rethrow_exception(ourError);
        }
        if (m_error) {
            std::rethrow_exception(std::exchange(m_error, nullptr));
        }
    }

private:
    void Serve() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || m_work != nullptr; });
            if (m_quit) {
                return;
            }
            lock.unlock();
            try {
                (*m_work)();
            } catch (...) {
                m_error = std::current_exception();
            }
            lock.lock();
            m_work = nullptr;
            m_done.notify_one();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    const std::function<void()>* m_work = nullptr;
    std::exception_ptr m_error;
    bool m_quit = false;
    std::thread m_thread;
};

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
      m_stepBytes(stepBytes != 0 ? stepBytes : kStepBytes) {}

MapStream::~MapStream() = default;

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
    // UTF-8 in two pieces, the second beginning where the map may start afresh.
    std::size_t half = text.size();
    if (m_utf8 && Cores() > 1) {
        half = Restart(text.substr(0, text.size() / 2));
    }
    const std::vector<std::size_t> ends = half == 0 || half == text.size()
                                              ? std::vector<std::size_t>{text.size()}
                                              : std::vector<std::size_t>{half, text.size()};
    const auto map = [&](std::size_t i) {
        const std::size_t from = i == 0 ? 0 : ends[i - 1];
        MapPiece(i, text.substr(from, ends[i] - from));
    };
    if (ends.size() == 2) {
        if (!m_helper) {
            m_helper = std::make_unique<Helper>();
        }
        m_helper->Run([&map] { map(1); }, [&map] { map(0); });
    } else {
        map(0);
    }
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const Piece& piece = m_pieces[i];
        if (piece.unencodable) {
            m_unencodable = true;
            return;
        }
        if (!piece.out.empty() && !m_put(piece.out)) {
            m_putFailed = true;
            return;
        }
    }
}

void MapStream::MapPiece(std::size_t index, std::string_view text) {
    Piece& piece = m_pieces[index];
    if (!m_utf8) {
        GrowTo(piece.result, m_map.bound(text.size()));
        piece.out = std::string_view(piece.result.data(), m_map.write(text, piece.result.data()));
        return;
    }
    // The piece ends after a byte below 0x30 or at the end of the document, so neither
    // conversion has anything left over.
    piece.gbk.clear();
    Utf8ToGbkPart(text, true, piece.gbk);
    GrowTo(piece.result, m_map.bound(piece.gbk.size()));
    const std::size_t length = m_map.write(piece.gbk, piece.result.data());
    piece.resultUtf8.clear();
    GbkToUtf8Pieces(std::string_view(piece.result.data(), length),
                    [&piece](std::string_view part) { piece.resultUtf8 += part; });
    piece.out = piece.resultUtf8;
    piece.unencodable =
        m_map.utf8Result != PieceMap::Utf8Result::Ascii && !IsWellFormedUtf8(piece.resultUtf8);
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
