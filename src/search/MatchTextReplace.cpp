#include "search/MatchTextReplace.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <unordered_set>

#include "core/TextPrimitives.h"

namespace velmor {

namespace {

// Past these sizes the one-scan automaton would cost more memory than the passes save
// (occurrences: within one stretch that no keyword bridges).
constexpr std::size_t kMaxTableEntries = std::size_t{32} << 20;
constexpr std::size_t kMaxOccurrences = std::size_t{32} << 20;

inline bool IsLeadByte(unsigned char c) {
    return c >= 0x80;
}

inline unsigned char Fold(unsigned char c, bool caseSensitive) {
    return !caseSensitive && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

// Whether walking s character by character from its first byte ends exactly at its end.
bool EndsOnCharacter(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        i += IsLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    }
    return i == s.size();
}

std::string Folded(std::string_view s, bool caseSensitive) {
    std::string folded(s);
    for (char& c : folded) {
        c = static_cast<char>(Fold(static_cast<unsigned char>(c), caseSensitive));
    }
    return folded;
}

class Bits {
public:
    explicit Bits(std::size_t size) : m_words((size + 63) / 64, 0) {}
    bool Test(std::size_t i) const { return (m_words[i / 64] >> (i % 64)) & 1U; }
    void Set(std::size_t i) { m_words[i / 64] |= std::uint64_t{1} << (i % 64); }
    bool AnyIn(std::size_t from, std::size_t to) const {
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
    void SetRange(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            Set(i);
        }
    }

private:
    std::vector<std::uint64_t> m_words;
};

// All the texts' occurrences in one scan: a keyword automaton over the byte classes the
// texts use, each node knowing the text that ends there and the next shorter one that does.
class KeywordAutomaton {
public:
    KeywordAutomaton(const std::vector<std::string>& keywords, bool caseSensitive) {
        m_classOf.fill(0);
        int classes = 1;
        for (const std::string& keyword : keywords) {
            for (char c : keyword) {
                unsigned char byte = static_cast<unsigned char>(c);
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
        m_classes = static_cast<std::size_t>(classes);
        std::size_t bytes = 0;
        for (const std::string& keyword : keywords) {
            bytes += keyword.size();
        }
        if ((bytes + 1) * m_classes > kMaxTableEntries) {
            return;
        }
        BuildTrie(keywords);
        LinkFailures();
        m_built = true;
    }

    bool Built() const { return m_built; }

    // Calls found(keyword index, end offset) for every occurrence, in order of end, and marks
    // the character starts where one may begin. Calls settled() whenever no occurrence can
    // overlap those found so far, and at the end. Fails when found or settled returns false, or
    // when the text ends in a lone lead byte (which TextReplace treats specially).
    template <typename Found, typename Settled>
    bool Scan(std::string_view text, Bits& characterStarts, Found found, Settled settled) const {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t size = text.size();
        // nextStart is the first character start not yet passed; Realign moves it to at or
        // after position using only the lead bytes right before position: whatever byte is
        // not a lead byte ends a character.
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
        std::int32_t state = 0;
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
            state = m_next[static_cast<std::size_t>(state) * m_classes + m_classOf[byte]];
            ++i;
            for (std::int32_t out = m_output[static_cast<std::size_t>(state)]; out > 0;
                 out = m_outputLink[static_cast<std::size_t>(out)]) {
                if (!found(m_keywordAt[static_cast<std::size_t>(out)], i)) {
                    return false;
                }
            }
        }
        realign(size);
        return settled() && nextStart == size;
    }

private:
    std::int32_t AddNode() {
        m_next.resize(m_next.size() + m_classes, -1);
        m_keywordAt.push_back(-1);
        m_failure.push_back(0);
        return static_cast<std::int32_t>(m_keywordAt.size() - 1);
    }

    void BuildTrie(const std::vector<std::string>& keywords) {
        m_next.reserve(m_classes * 64);
        AddNode();
        for (std::size_t k = 0; k < keywords.size(); ++k) {
            std::int32_t node = 0;
            for (char c : keywords[k]) {
                std::size_t slot = static_cast<std::size_t>(node) * m_classes +
                                   m_classOf[static_cast<unsigned char>(c)];
                if (m_next[slot] < 0) {
                    const std::int32_t child = AddNode();
                    m_next[slot] = child;
                }
                node = m_next[slot];
            }
            m_keywordAt[static_cast<std::size_t>(node)] = static_cast<std::int32_t>(k);
        }
    }

    void LinkFailures() {
        const std::size_t nodes = m_keywordAt.size();
        m_output.assign(nodes, 0);
        m_outputLink.assign(nodes, 0);
        std::deque<std::int32_t> queue;
        for (std::size_t c = 0; c < m_classes; ++c) {
            std::int32_t& child = m_next[c];
            if (child < 0) {
                child = 0;
            } else {
                queue.push_back(child);
            }
        }
        while (!queue.empty()) {
            const std::int32_t node = queue.front();
            queue.pop_front();
            const std::size_t n = static_cast<std::size_t>(node);
            const std::int32_t failure = m_failure[n];
            m_outputLink[n] = m_output[static_cast<std::size_t>(failure)];
            m_output[n] = m_keywordAt[n] >= 0 ? node : m_outputLink[n];
            for (std::size_t c = 0; c < m_classes; ++c) {
                std::int32_t& child = m_next[n * m_classes + c];
                const std::int32_t viaFailure =
                    m_next[static_cast<std::size_t>(failure) * m_classes + c];
                if (child < 0) {
                    child = viaFailure;
                } else {
                    m_failure[static_cast<std::size_t>(child)] = viaFailure;
                    queue.push_back(child);
                }
            }
        }
    }

    std::array<std::uint16_t, 256> m_classOf{};
    std::size_t m_classes = 1;
    std::vector<std::int32_t> m_next;
    std::vector<std::int32_t> m_keywordAt;
    std::vector<std::int32_t> m_failure;
    std::vector<std::int32_t> m_output;      // the deepest node on the failure chain with a keyword
    std::vector<std::int32_t> m_outputLink;  // the next one after it
    bool m_built = false;
};

struct Occurrence {
    std::uint32_t keyword;
    std::uint32_t start;
};

// The passes in one scan. Because no replacement can take part in an occurrence and every
// replaced text ends on a character boundary, pass k replaces, left to right, the occurrences
// of its text at character starts of the original text that overlap neither a place replaced
// by an earlier pass nor its own previous replacement.
std::optional<std::optional<Text>> ReplaceInOneScan(const Text& text,
                                                    const std::vector<std::string>& keywords,
                                                    const Text& replacement, bool caseSensitive,
                                                    std::size_t maxBytes) {
    if (text.size() >= UINT32_MAX || keywords.size() >= UINT32_MAX) {
        return std::nullopt;
    }
    const KeywordAutomaton automaton(keywords, caseSensitive);
    if (!automaton.Built()) {
        return std::nullopt;
    }
    Bits characterStarts(text.size());
    Bits replaced(text.size());
    std::vector<Occurrence> chosen;
    // The occurrences since the automaton last stood at its root: none of them can overlap
    // an occurrence outside this stretch, so its passes can be settled on their own.
    std::vector<Occurrence> stretch;
    std::size_t chosenBefore = 0;
    const auto settle = [&]() {
        if (stretch.empty()) {
            return true;
        }
        // By keyword, each keyword's occurrences in text order.
        std::sort(stretch.begin(), stretch.end(), [](const Occurrence& a, const Occurrence& b) {
            return a.keyword != b.keyword ? a.keyword < b.keyword : a.start < b.start;
        });
        std::size_t passEnd = 0;
        std::uint32_t passKeyword = UINT32_MAX;
        for (const Occurrence& occurrence : stretch) {
            if (occurrence.keyword != passKeyword) {
                passKeyword = occurrence.keyword;
                passEnd = 0;
            }
            const std::size_t start = occurrence.start;
            const std::size_t end = start + keywords[occurrence.keyword].size();
            if (start < passEnd || !characterStarts.Test(start) || replaced.AnyIn(start, end)) {
                continue;
            }
            replaced.SetRange(start, end);
            chosen.push_back(occurrence);
            passEnd = end;
        }
        std::sort(chosen.begin() + static_cast<std::ptrdiff_t>(chosenBefore), chosen.end(),
                  [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
        chosenBefore = chosen.size();
        stretch.clear();
        return true;
    };
    const bool complete = automaton.Scan(
        text, characterStarts,
        [&](std::int32_t keyword, std::size_t end) {
            const std::size_t k = static_cast<std::size_t>(keyword);
            stretch.push_back({static_cast<std::uint32_t>(k),
                               static_cast<std::uint32_t>(end - keywords[k].size())});
            return stretch.size() <= kMaxOccurrences;
        },
        settle);
    if (!complete) {
        return std::nullopt;
    }

    std::size_t removed = 0;
    for (const Occurrence& occurrence : chosen) {
        removed += keywords[occurrence.keyword].size();
    }
    const long double size = static_cast<long double>(text.size() - removed) +
                             static_cast<long double>(chosen.size()) * replacement.size();
    if (size > static_cast<long double>(maxBytes)) {
        return std::optional<Text>();
    }
    Text result;
    result.reserve(static_cast<std::size_t>(size));
    std::size_t copied = 0;
    for (const Occurrence& occurrence : chosen) {
        result.append(text, copied, occurrence.start - copied);
        result += replacement;
        copied = occurrence.start + keywords[occurrence.keyword].size();
    }
    result.append(text, copied, std::string::npos);
    return std::optional<Text>(std::move(result));
}

}  // namespace

bool ReplacedSizeExceeds(const Text& working, std::string_view find, const Text& replacement,
                         bool caseSensitive, std::size_t maxBytes) {
    if (replacement.size() <= find.size()) {
        return working.size() > maxBytes;
    }
    const std::size_t growth = replacement.size() - find.size();
    const long double bound = static_cast<long double>(working.size()) +
                              static_cast<long double>(working.size() / find.size()) * growth;
    if (bound <= static_cast<long double>(maxBytes)) {
        return false;
    }
    const Text what(find);
    std::size_t count = 0;
    int position = 1;
    while ((position = TextFind(working, what, position, !caseSensitive)) != -1) {
        ++count;
        position += static_cast<int>(what.size());
    }
    return static_cast<long double>(working.size()) + static_cast<long double>(count) * growth >
           static_cast<long double>(maxBytes);
}

std::optional<Text> ReplaceMatchTexts(const Text& text,
                                      const std::vector<std::string_view>& matchTexts,
                                      const Text& replacement, bool caseSensitive,
                                      std::size_t maxBytes) {
    bool oneScan = EndsOnCharacter(replacement);
    std::array<bool, 256> inKeywords{};
    std::vector<std::string> keywords;
    std::unordered_set<std::string> seen;
    for (std::string_view matchText : matchTexts) {
        if (matchText.empty()) {
            continue;
        }
        std::string folded = Folded(matchText, caseSensitive);
        if (!seen.insert(folded).second) {
            continue;
        }
        oneScan = oneScan && EndsOnCharacter(folded);
        for (char c : folded) {
            inKeywords[static_cast<unsigned char>(c)] = true;
        }
        keywords.push_back(std::move(folded));
    }
    for (char c : replacement) {
        if (inKeywords[Fold(static_cast<unsigned char>(c), caseSensitive)]) {
            oneScan = false;
        }
    }
    if (oneScan) {
        if (auto result = ReplaceInOneScan(text, keywords, replacement, caseSensitive, maxBytes)) {
            return *result;
        }
    }

    // A replacement may take part in later occurrences (or shift the character walk), so
    // every entry gets its own pass, repeated texts included.
    Text working = text;
    for (std::string_view matchText : matchTexts) {
        if (matchText.empty()) {
            continue;
        }
        if (ReplacedSizeExceeds(working, matchText, replacement, caseSensitive, maxBytes)) {
            return std::nullopt;
        }
        working = TextReplace(working, Text(matchText), replacement, 1, -1, caseSensitive);
    }
    return working;
}

}  // namespace velmor
