#include "search/KeywordAutomaton.h"

#include <deque>

namespace velmor {

namespace {

// Past this size the table would cost more memory than one scan saves over separate passes.
constexpr std::size_t kMaxTableEntries = std::size_t{32} << 20;
constexpr std::uint32_t kNone = UINT32_MAX;

unsigned char Fold(unsigned char c, bool caseSensitive) {
    return !caseSensitive && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

}  // namespace

bool Bits::AnyIn(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i < to; ++i) {
        if (i % 64 == 0 && i + 64 <= to) {
            if (m_words[i / 64] != 0) {
                return true;
            }
            i += 63;
        } else if (Test(i)) {
            return true;
        }
    }
    return false;
}

void Bits::SetRange(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        Set(i);
    }
}

KeywordAutomaton::KeywordAutomaton(const std::vector<std::string_view>& keywords,
                                   bool caseSensitive) {
    m_classOf.fill(0);
    std::uint16_t classes = 1;
    std::size_t bytes = 0;
    for (std::string_view keyword : keywords) {
        bytes += keyword.size();
        for (char c : keyword) {
            const unsigned char byte = Fold(static_cast<unsigned char>(c), caseSensitive);
            if (m_classOf[byte] == 0) {
                m_classOf[byte] = classes++;
            }
        }
    }
    if (!caseSensitive) {
        for (int c = 'A'; c <= 'Z'; ++c) {
            m_classOf[c] = m_classOf[c + 0x20];
        }
    }
    m_classes = classes;
    if ((bytes + 1) * m_classes > kMaxTableEntries) {
        return;
    }
    BuildTrie(keywords);
    LinkFailures();
    m_built = true;
}

std::int32_t KeywordAutomaton::AddNode() {
    m_next.resize(m_next.size() + m_classes, kNone);
    m_keywordAt.push_back(-1);
    m_failure.push_back(0);
    return static_cast<std::int32_t>(m_keywordAt.size() - 1);
}

void KeywordAutomaton::BuildTrie(const std::vector<std::string_view>& keywords) {
    m_next.reserve(m_classes * 64);
    AddNode();
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        std::int32_t node = 0;
        for (char c : keywords[k]) {
            const std::size_t slot = static_cast<std::size_t>(node) * m_classes +
                                     m_classOf[static_cast<unsigned char>(c)];
            if (m_next[slot] == kNone) {
                m_next[slot] = static_cast<std::uint32_t>(AddNode());
            }
            node = static_cast<std::int32_t>(m_next[slot]);
        }
        m_keywordAt[static_cast<std::size_t>(node)] = static_cast<std::int32_t>(k);
    }
}

void KeywordAutomaton::LinkFailures() {
    const std::size_t nodes = m_keywordAt.size();
    m_output.assign(nodes, 0);
    m_outputLink.assign(nodes, 0);
    std::deque<std::uint32_t> queue;
    for (std::size_t c = 0; c < m_classes; ++c) {
        std::uint32_t& child = m_next[c];
        if (child == kNone) {
            child = 0;
        } else {
            queue.push_back(child);
        }
    }
    while (!queue.empty()) {
        const std::size_t n = queue.front();
        queue.pop_front();
        const std::int32_t failure = m_failure[n];
        m_outputLink[n] = m_output[static_cast<std::size_t>(failure)];
        m_output[n] = m_keywordAt[n] >= 0 ? static_cast<std::int32_t>(n) : m_outputLink[n];
        for (std::size_t c = 0; c < m_classes; ++c) {
            std::uint32_t& child = m_next[n * m_classes + c];
            const std::uint32_t viaFailure =
                m_next[static_cast<std::size_t>(failure) * m_classes + c];
            if (child == kNone) {
                child = viaFailure;
            } else {
                m_failure[child] = static_cast<std::int32_t>(viaFailure);
                queue.push_back(child);
            }
        }
    }
    // Marked only now: a state's output is known once the breadth-first walk has passed it.
    for (std::uint32_t& target : m_next) {
        if (m_output[target] > 0) {
            target |= kReports;
        }
    }
}

}  // namespace velmor
