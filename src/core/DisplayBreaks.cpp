#include "core/DisplayBreaks.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace velmor {

namespace {

std::atomic<std::size_t> g_rowBytes{16384};

}  // namespace

std::size_t DisplayBreaks::RowBytes() {
    return g_rowBytes.load(std::memory_order_relaxed);
}

void DisplayBreaks::SetRowBytes(std::size_t bytes) {
    g_rowBytes = std::max<std::size_t>(bytes, 2);
}

bool DisplayBreaks::IsBreak(std::size_t bufferPosition) const {
    return std::binary_search(m_at.begin(), m_at.end(), bufferPosition);
}

std::size_t DisplayBreaks::CountIn(std::size_t from, std::size_t to) const {
    if (to <= from) {
        return 0;
    }
    return static_cast<std::size_t>(std::lower_bound(m_at.begin(), m_at.end(), to) -
                                    std::lower_bound(m_at.begin(), m_at.end(), from));
}

std::size_t DisplayBreaks::TextPosition(std::size_t bufferPosition) const {
    return bufferPosition -
           static_cast<std::size_t>(std::lower_bound(m_at.begin(), m_at.end(), bufferPosition) -
                                    m_at.begin());
}

std::size_t DisplayBreaks::BufferPosition(std::size_t textPosition, bool pastBreaks) const {
    // Break i stands at text position m_at[i] - i, which never decreases with i.
    std::size_t low = 0;
    std::size_t high = m_at.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const std::size_t at = m_at[middle] - middle;
        if (at < textPosition || (pastBreaks && at == textPosition)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return textPosition + low;
}

void DisplayBreaks::Inserted(std::size_t position, std::size_t length, bool isBreak) {
    auto it = std::lower_bound(m_at.begin(), m_at.end(), position);
    for (auto moved = it; moved != m_at.end(); ++moved) {
        *moved += length;
    }
    if (isBreak) {
        m_at.insert(it, position);
    }
}

void DisplayBreaks::Deleted(std::size_t position, std::size_t length) {
    const auto first = std::lower_bound(m_at.begin(), m_at.end(), position);
    const auto last = std::lower_bound(first, m_at.end(), position + length);
    for (auto moved = last; moved != m_at.end(); ++moved) {
        *moved -= length;
    }
    m_at.erase(first, last);
}

void DisplayBreaks::AppendText(std::string_view bytes, std::size_t from, std::string& out) const {
    std::size_t copied = 0;
    for (auto it = std::lower_bound(m_at.begin(), m_at.end(), from);
         it != m_at.end() && *it < from + bytes.size(); ++it) {
        out.append(bytes.substr(copied, *it - from - copied));
        copied = *it - from + 1;
    }
    out.append(bytes.substr(copied));
}

namespace {

bool IsLineEnd(unsigned char byte) {
    return byte == '\r' || byte == '\n';
}

// Just past the last line end of bytes, or 0 when there is none.
std::size_t PastLastLineEnd(std::string_view bytes) {
    const auto* feed = static_cast<const char*>(::memrchr(bytes.data(), '\n', bytes.size()));
    const auto* ret = static_cast<const char*>(::memrchr(bytes.data(), '\r', bytes.size()));
    const char* last = std::max(feed, ret);
    return last == nullptr ? 0 : static_cast<std::size_t>(last - bytes.data()) + 1;
}

}  // namespace

void DisplayBreakWriter::Write(std::string_view utf8) {
    const std::size_t row = DisplayBreaks::RowBytes();
    std::size_t segment = 0;
    std::size_t at = 0;
    const auto flush = [&](std::size_t end) {
        if (end > segment) {
            m_sink(utf8.substr(segment, end - segment));
            m_written += end - segment;
        }
        segment = end;
    };
    while (at < utf8.size()) {
        if (m_run >= row) {
            // The row is full: it ends after a space that comes soon, or else before the
            // next character, unless a line end comes first. A byte that only continues a
            // character waits, up to the longest row.
            const auto byte = static_cast<unsigned char>(utf8[at]);
            if (IsLineEnd(byte)) {
                m_run = 0;
                m_afterSpace = false;
                ++at;
            } else if (m_afterSpace || m_run >= 2 * row ||
                       ((byte & 0xC0) != 0x80 &&
                        m_run >= row + row / DisplayBreaks::kSpaceSearch)) {
                flush(at);
                m_breaks.push_back(m_written);
                m_sink(std::string_view(&DisplayBreaks::kByte, 1));
                ++m_written;
                m_run = 0;
                m_afterSpace = false;
            } else {
                m_afterSpace = byte == ' ';
                ++m_run;
                ++at;
            }
            continue;
        }
        // Whole windows are looked at from their end: a line end in one starts the run anew.
        const std::size_t window = std::min(row - m_run, utf8.size() - at);
        const std::size_t past = PastLastLineEnd(utf8.substr(at, window));
        m_run = past == 0 ? m_run + window : window - past;
        at += window;
    }
    flush(utf8.size());
}

}  // namespace velmor
