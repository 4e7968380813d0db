#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace velmor {

// The paragraphs of a text one after another, cut as ParagraphList cuts them (at a CR LF whose
// CR starts a character), without building a list: the commands walk a 100 MB document once.
class ParagraphWalker {
public:
    explicit ParagraphWalker(std::string_view text) : m_text(text) {}

    // The next paragraph as a view into the text; false after the last one.
    bool Next(std::string_view& paragraph) {
        const std::size_t size = m_text.size();
        if (m_begin >= size) {
            return false;
        }
        const char* const data = m_text.data();
        std::size_t known = m_begin;
        // An LF at the paragraph's first byte has no CR of this paragraph before it.
        std::size_t from = m_begin + 1;
        while (from < size) {
            const void* hit = std::memchr(data + from, '\n', size - from);
            if (hit == nullptr) {
                break;
            }
            const auto lineFeed = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
            const std::size_t carriageReturn = lineFeed - 1;
            if (data[carriageReturn] == '\r') {
                if (StartsCharacter(data, known, carriageReturn)) {
                    paragraph = m_text.substr(m_begin, carriageReturn - m_begin);
                    m_begin = lineFeed + 1;
                    return true;
                }
                known = lineFeed;  // the CR was a trail byte, so a character starts after it
            }
            from = lineFeed + 1;
        }
        paragraph = m_text.substr(m_begin);
        m_begin = size;
        return true;
    }

private:
    // Whether offset starts a character of the walk begun at known: after a byte below 0x80 a
    // character always starts, and the run of bytes of 0x80 or above before offset pairs up.
    static bool StartsCharacter(const char* data, std::size_t known, std::size_t offset) {
        constexpr std::uint64_t kHighBits = 0x8080808080808080;
        std::size_t anchor = offset;
        while (anchor - known >= 8) {
            std::uint64_t word;
            std::memcpy(&word, data + anchor - 8, 8);
            if ((word & kHighBits) != kHighBits) {
                break;
            }
            anchor -= 8;
        }
        while (anchor > known && static_cast<unsigned char>(data[anchor - 1]) >= 0x80) {
            --anchor;
        }
        return (offset - anchor) % 2 == 0;
    }

    std::string_view m_text;
    std::size_t m_begin = 0;
};

// At least the number of paragraphs of the text: one more than its LF bytes.
inline std::size_t ParagraphCountBound(std::string_view text) {
    std::size_t count = 1;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (hit == nullptr) {
            break;
        }
        ++count;
        p = static_cast<const char*>(hit) + 1;
    }
    return count;
}

}  // namespace velmor
