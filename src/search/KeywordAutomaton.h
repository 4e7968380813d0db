#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmor {

// One bit per byte offset of a text.
class Bits {
public:
    explicit Bits(std::size_t size) : m_words((size + 63) / 64, 0) {}
    bool Test(std::size_t i) const { return (m_words[i / 64] >> (i % 64)) & 1U; }
    void Set(std::size_t i) { m_words[i / 64] |= std::uint64_t{1} << (i % 64); }
    bool AnyIn(std::size_t from, std::size_t to) const;
    void SetRange(std::size_t from, std::size_t to);

private:
    std::vector<std::uint64_t> m_words;
};

// All the keywords' occurrences in one scan: a keyword automaton over the byte classes the
// keywords use, each node knowing the keyword that ends there and the next shorter one that
// does. Without caseSensitive, ASCII letters of keywords and text match in either case. The
// keywords must outlive the automaton and be distinct (as folded); none may be empty.
class KeywordAutomaton {
public:
    KeywordAutomaton(const std::vector<std::string_view>& keywords, bool caseSensitive);

    // False when the table would be too large to be worth building; nothing else works then.
    bool Built() const { return m_built; }

    // Calls found(keyword index, end offset) for every occurrence, in order of end, and marks
    // the character starts of text where one may begin. Calls settled() whenever no
    // occurrence can overlap those found so far, and at the end. Fails when found or settled
    // returns false, or when the text ends in a lone lead byte.
    template <typename Found, typename Settled>
    bool Scan(std::string_view text, Bits& characterStarts, Found found, Settled settled) const;

    // Calls found(keyword index, end offset) for every occurrence at any byte offset.
    template <typename Found>
    void ScanAnywhere(std::string_view text, Found found) const;

private:
    static bool IsLeadByte(unsigned char c) { return c >= 0x80; }
    std::int32_t AddNode();
    void BuildTrie(const std::vector<std::string_view>& keywords);
    void LinkFailures();

    template <typename Found>
    bool Report(std::uint32_t state, std::size_t end, Found& found) const {
        if ((state & kReports) == 0) {
            return true;
        }
        for (std::int32_t out = m_output[state & ~kReports]; out > 0;
             out = m_outputLink[static_cast<std::size_t>(out)]) {
            if (!found(m_keywordAt[static_cast<std::size_t>(out)], end)) {
                return false;
            }
        }
        return true;
    }

    // The next state, with kReports set when a keyword ends there.
    std::uint32_t Step(std::uint32_t state, unsigned char byte) const {
        return m_next[(state & ~kReports) * m_classes + m_classOf[byte]];
    }

    static constexpr std::uint32_t kReports = 0x80000000U;

    std::array<std::uint16_t, 256> m_classOf{};
    std::size_t m_classes = 1;
    std::vector<std::uint32_t> m_next;
    std::vector<std::int32_t> m_keywordAt;
    std::vector<std::int32_t> m_failure;
    std::vector<std::int32_t> m_output;      // the deepest node on the failure chain with a keyword
    std::vector<std::int32_t> m_outputLink;  // the next one after it
    bool m_built = false;
};

template <typename Found, typename Settled>
bool KeywordAutomaton::Scan(std::string_view text, Bits& characterStarts, Found found,
                            Settled settled) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    // nextStart is the first character start not yet passed; realign moves it to at or after
    // position using only the lead bytes right before position: whatever byte is not a lead
    // byte ends a character.
    std::size_t nextStart = 0;
    const auto realign = [&](std::size_t position) {
        if (nextStart >= position) {
            return;
        }
        std::size_t anchor = position;
        while (anchor > nextStart && IsLeadByte(bytes[anchor - 1])) {
            --anchor;
        }
        nextStart = (position - anchor) % 2 == 0 ? position : position + 1;
    };
    std::size_t i = 0;
    std::uint32_t state = 0;
    while (i < size) {
        if (state == 0) {
            if (!settled()) {
                return false;
            }
            // Nothing begun: bytes no keyword uses are passed over.
            while (i < size && m_classOf[bytes[i]] == 0) {
                ++i;
            }
            if (i == size) {
                break;
            }
            realign(i);
        }
        const unsigned char byte = bytes[i];
        if (i == nextStart) {
            characterStarts.Set(i);
            nextStart += IsLeadByte(byte) ? 2 : 1;
        }
        state = Step(state, byte);
        ++i;
        if (!Report(state, i, found)) {
            return false;
        }
    }
    realign(size);
    return settled() && nextStart == size;
}

template <typename Found>
void KeywordAutomaton::ScanAnywhere(std::string_view text, Found found) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::uint32_t state = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        state = Step(state, bytes[i]);
        Report(state, i + 1, found);
    }
}

}  // namespace velmor
