#include "search/LinkedPassReplace.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "core/LargeText.h"
#include "core/TextPrimitives.h"
#include "search/KeywordAutomaton.h"

namespace velmor {

namespace {

// Keyword bytes of one automaton: with every byte value a class of its own, its table stays
// within what one automaton may build.
constexpr std::size_t kMaxGroupKeywordBytes = 120 * 1024;
constexpr std::uint32_t kNone = UINT32_MAX;

inline unsigned char Fold(unsigned char c, bool caseSensitive) {
    return !caseSensitive && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

inline bool IsLeadByte(unsigned char c) {
    return c >= 0x80;
}

// Whether a keyword can overlap itself: then of two overlapping occurrences only the left one
// is replaced, and which is left needs the order of the working text.
bool HasBorder(std::string_view keyword, bool caseSensitive) {
    std::vector<std::size_t> border(keyword.size() + 1, 0);
    std::size_t length = 0;
    for (std::size_t i = 1; i < keyword.size(); ++i) {
        const auto at = [&](std::size_t j) {
            return Fold(static_cast<unsigned char>(keyword[j]), caseSensitive);
        };
        while (length > 0 && at(i) != at(length)) {
            length = border[length];
        }
        if (at(i) == at(length)) {
            ++length;
        }
        border[i + 1] = length;
    }
    return border[keyword.size()] > 0;
}

class GrowingBits {
public:
    bool Test(std::size_t i) const {
        return i / 64 < m_words.size() && ((m_words[i / 64] >> (i % 64)) & 1U) != 0;
    }
    void Set(std::size_t i) {
        if (i / 64 >= m_words.size()) {
            m_words.resize(std::max(i / 64 + 1, m_words.size() * 2), 0);
        }
        m_words[i / 64] |= std::uint64_t{1} << (i % 64);
    }
    // Whether any bit in [from, to) is set.
    bool AnyIn(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i < to; ++i) {
            if (i % 64 == 0 && i + 64 <= to) {
                if (i / 64 < m_words.size() && m_words[i / 64] != 0) {
                    return true;
                }
                i += 63;
            } else if (Test(i)) {
                return true;
            }
        }
        return false;
    }
    // The first set bit at or after from, or SIZE_MAX.
    std::size_t FirstSetFrom(std::size_t from) const {
        for (std::size_t w = from / 64; w < m_words.size(); ++w) {
            std::uint64_t word = m_words[w];
            if (w == from / 64) {
                word &= ~std::uint64_t{0} << (from % 64);
            }
            if (word != 0) {
                return w * 64 + static_cast<std::size_t>(__builtin_ctzll(word));
            }
        }
        return SIZE_MAX;
    }
    void Clear() { m_words.clear(); }

private:
    std::vector<std::uint64_t> m_words;
};

// Keyword automata over groups of keywords, each small enough to build.
struct KeywordGroups {
    std::vector<std::vector<std::string_view>> keywords;
    std::vector<std::vector<std::uint32_t>> ids;
    std::vector<std::unique_ptr<KeywordAutomaton>> automata;

    bool Build(const std::vector<std::string_view>& all, const std::vector<std::uint32_t>& chosen,
               bool caseSensitive) {
        std::size_t bytes = kMaxGroupKeywordBytes;
        for (std::uint32_t k : chosen) {
            if (bytes + all[k].size() > kMaxGroupKeywordBytes) {
                keywords.emplace_back();
                ids.emplace_back();
                bytes = 0;
            }
            keywords.back().push_back(all[k]);
            ids.back().push_back(k);
            bytes += all[k].size();
        }
        for (const std::vector<std::string_view>& group : keywords) {
            automata.push_back(std::make_unique<KeywordAutomaton>(group, caseSensitive));
            if (!automata.back()->Built()) {
                return false;
            }
        }
        return true;
    }

    // found(keyword id, end offset) for every occurrence at any offset.
    template <typename Found>
    void ScanAnywhere(std::string_view text, Found found) const {
        for (std::size_t g = 0; g < automata.size(); ++g) {
            automata[g]->ScanAnywhere(text, [&](std::int32_t index, std::size_t end) {
                found(ids[g][static_cast<std::size_t>(index)], end);
                return true;
            });
        }
    }
};

// The working text as the bytes of a flat base text and of inserted replacements, linked in
// order. A replacement links its copy in place of the occurrence; afterwards every keyword
// occurrence it may have formed overlaps the copy (or, for an empty replacement, the place it
// cut), so only the bytes around it are searched for occurrences of the keywords with passes
// still to come. Each keyword keeps the places it may occur at: its occurrences in the base
// and those found around copies. Because every keyword and the replacement end on a
// character, whether a byte starts a character never changes once it is in the text. A pass
// that would replace a large share of the text is run by TextReplace on the flat text, which
// then becomes the base.
class LinkedPasses {
public:
    LinkedPasses(const std::vector<std::string_view>& keywords,
                 const std::vector<std::uint32_t>& passes, const Text& replacement,
                 bool caseSensitive, std::size_t maxBytes)
        : m_keywords(keywords),
          m_passes(passes),
          m_replacement(replacement),
          m_caseSensitive(caseSensitive),
          m_maxBytes(maxBytes),
          m_candidates(keywords.size()),
          m_lastPass(keywords.size(), 0),
          m_hasBorder(keywords.size(), 0),
          m_putsBack(keywords.size(), 0) {
        for (std::size_t i = 0; i < passes.size(); ++i) {
            m_lastPass[passes[i]] = static_cast<std::uint32_t>(i);
        }
        std::array<bool, 256> inReplacement{};
        for (char c : replacement) {
            inReplacement[Fold(static_cast<unsigned char>(c), caseSensitive)] = true;
        }
        std::vector<std::uint32_t> interacting;
        for (std::uint32_t k = 0; k < keywords.size(); ++k) {
            m_hasBorder[k] = HasBorder(keywords[k], caseSensitive);
            m_putsBack[k] =
                !m_hasBorder[k] && keywords[k].size() == replacement.size() &&
                std::equal(replacement.begin(), replacement.end(), keywords[k].begin(),
                           [&](char a, char b) {
                               return Fold(static_cast<unsigned char>(a), caseSensitive) ==
                                      Fold(static_cast<unsigned char>(b), caseSensitive);
                           });
            bool interacts = replacement.empty();
            for (char c : keywords[k]) {
                interacts =
                    interacts || inReplacement[Fold(static_cast<unsigned char>(c), caseSensitive)];
            }
            if (interacts) {
                interacting.push_back(k);
                m_reach = std::max(m_reach, keywords[k].size());
            }
        }
        m_usable = m_formed.Build(keywords, interacting, caseSensitive);
        std::size_t walk = 0;
        while (walk < replacement.size()) {
            m_replacementStarts.push_back(walk);
            walk += IsLeadByte(static_cast<unsigned char>(replacement[walk])) ? 2 : 1;
        }
        m_isReplacementStart.assign(replacement.size(), 0);
        for (std::size_t start : m_replacementStarts) {
            m_isReplacementStart[start] = 1;
        }
    }

    LinkedPassResult Run(const Text& text) {
        LinkedPassResult outcome;
        if (!m_usable || !StartEpoch(text, 0)) {
            return outcome;
        }
        for (std::size_t i = 0; i < m_passes.size(); ++i) {
            if (!RunPass(static_cast<std::uint32_t>(i))) {
                outcome.status = m_tooLarge ? LinkedPassResult::Status::TooLarge
                                            : LinkedPassResult::Status::Unusable;
                return outcome;
            }
        }
        outcome.status = LinkedPassResult::Status::Done;
        outcome.text = Materialize();
        return outcome;
    }

private:
    // Takes base as the flat working text and finds in it the occurrences of the keywords
    // with a pass at or after pass first.
    bool StartEpoch(Text base, std::uint32_t first) {
        m_base = std::move(base);
        m_size = m_base.size();
        if (m_base.size() >= kNone / 2) {
            return false;
        }
        m_baseSize = static_cast<std::uint32_t>(m_base.size());
        m_first = m_baseSize == 0 ? kNone : 0;
        m_copies = 0;
        m_dead.Clear();
        m_nextSet.Clear();
        m_prevSet.Clear();
        m_next.clear();
        m_prev.clear();
        m_baseStarts.assign((m_base.size() + 63) / 64, 0);
        for (std::size_t i = 0; i < m_base.size();
             i += IsLeadByte(static_cast<unsigned char>(m_base[i])) ? 2 : 1) {
            m_baseStarts[i / 64] |= std::uint64_t{1} << (i % 64);
        }
        std::vector<std::uint32_t> pending;
        for (std::uint32_t k = 0; k < m_keywords.size(); ++k) {
            m_candidates[k].clear();
            if (m_lastPass[k] >= first) {
                pending.push_back(k);
            }
        }
        KeywordGroups groups;
        if (!groups.Build(m_keywords, pending, m_caseSensitive)) {
            return false;
        }
        groups.ScanAnywhere(m_base, [&](std::uint32_t k, std::size_t end) {
            const std::size_t start = end - m_keywords[k].size();
            if (IsBaseStart(start)) {
                m_candidates[k].push_back(static_cast<std::uint32_t>(start));
            }
        });
        return true;
    }

    bool IsBaseStart(std::size_t i) const { return ((m_baseStarts[i / 64] >> (i % 64)) & 1U) != 0; }

    std::uint32_t ReplacementSize() const {
        return static_cast<std::uint32_t>(m_replacement.size());
    }
    unsigned char Byte(std::uint32_t node) const {
        return static_cast<unsigned char>(
            node < m_baseSize ? m_base[node]
                              : m_replacement[(node - m_baseSize) % ReplacementSize()]);
    }
    bool IsCharacterStart(std::uint32_t node) const {
        return node < m_baseSize
                   ? IsBaseStart(node)
                   : m_isReplacementStart[(node - m_baseSize) % ReplacementSize()] != 0;
    }
    std::uint32_t Next(std::uint32_t node) const {
        if (m_nextSet.Test(node)) {
            return m_next.at(node);
        }
        return node + 1 == m_baseSize ? kNone : node + 1;
    }
    std::uint32_t Prev(std::uint32_t node) const {
        if (m_prevSet.Test(node)) {
            return m_prev.at(node);
        }
        return node == 0 ? kNone : node - 1;
    }
    void Link(std::uint32_t from, std::uint32_t to) {
        if (from == kNone) {
            m_first = to;
        } else {
            m_next[from] = to;
            m_nextSet.Set(from);
        }
        if (to != kNone) {
            m_prev[to] = from;
            m_prevSet.Set(to);
        }
    }

    // Whether keyword k occurs at node, a character start of the working text.
    bool OccursAt(std::uint32_t node, std::uint32_t k) const {
        if (m_dead.Test(node) || !IsCharacterStart(node)) {
            return false;
        }
        const std::string_view keyword = m_keywords[k];
        if (node < m_baseSize && node + keyword.size() <= m_baseSize &&
            !m_dead.AnyIn(node, node + keyword.size()) &&
            !m_nextSet.AnyIn(node, node + keyword.size() - 1)) {
            // Untouched base bytes, found there by the automaton.
            return true;
        }
        std::uint32_t at = node;
        for (std::size_t j = 0; j < keyword.size(); ++j) {
            if (at == kNone || Fold(Byte(at), m_caseSensitive) !=
                                   Fold(static_cast<unsigned char>(keyword[j]), m_caseSensitive)) {
                return false;
            }
            at = Next(at);
        }
        return true;
    }

    bool HoldsReplacement(std::uint32_t node) const {
        for (char c : m_replacement) {
            if (Byte(node) != static_cast<unsigned char>(c)) {
                return false;
            }
            node = Next(node);
        }
        return true;
    }

    // The occurrences TextReplace replaces among those at starts, in any order: all of them,
    // or for a keyword that can overlap itself, the leftmost of each run of overlapping ones
    // and then the next that does not overlap the one before.
    std::vector<std::uint32_t> Choose(std::vector<std::uint32_t> starts, std::uint32_t k) const {
        if (!m_hasBorder[k] || starts.size() < 2) {
            return starts;
        }
        const std::size_t length = m_keywords[k].size();
        const std::unordered_set<std::uint32_t> found(starts.begin(), starts.end());
        std::unordered_set<std::uint32_t> done;
        std::vector<std::uint32_t> chosen;
        for (std::uint32_t start : starts) {
            if (done.count(start) != 0) {
                continue;
            }
            std::uint32_t leftmost = start;
            for (bool moved = true; moved;) {
                moved = false;
                std::uint32_t at = Prev(leftmost);
                for (std::size_t step = 1; step < length && at != kNone; ++step, at = Prev(at)) {
                    if (found.count(at) != 0) {
                        leftmost = at;
                        moved = true;
                    }
                }
            }
            std::size_t reach = length;
            std::size_t freeFrom = 0;
            std::uint32_t at = leftmost;
            for (std::size_t step = 0; step < reach && at != kNone; ++step, at = Next(at)) {
                if (found.count(at) == 0) {
                    continue;
                }
                done.insert(at);
                if (step >= freeFrom) {
                    chosen.push_back(at);
                    freeFrom = step + length;
                }
                reach = std::max(reach, step + length);
            }
        }
        return chosen;
    }

    bool RunPass(std::uint32_t pass) {
        const std::uint32_t k = m_passes[pass];
        if (m_candidates[k].empty()) {
            return true;
        }
        std::vector<std::uint32_t> starts = std::move(m_candidates[k]);
        m_candidates[k].clear();
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        starts.erase(std::remove_if(starts.begin(), starts.end(),
                                    [&](std::uint32_t node) { return !OccursAt(node, k); }),
                     starts.end());
        if (m_putsBack[k]) {
            starts.erase(std::remove_if(starts.begin(), starts.end(),
                                        [&](std::uint32_t node) { return HoldsReplacement(node); }),
                         starts.end());
        }
        const std::vector<std::uint32_t> chosen = Choose(std::move(starts), k);
        if (chosen.empty()) {
            return true;
        }
        const std::size_t length = m_keywords[k].size();
        const long double size =
            static_cast<long double>(m_size) +
            static_cast<long double>(chosen.size()) *
                (static_cast<long double>(m_replacement.size()) - static_cast<long double>(length));
        if (size > static_cast<long double>(m_maxBytes)) {
            m_tooLarge = true;
            return false;
        }
        // A pass over most of the text, or one that would take the links past a share of
        // the base, is cheaper and smaller over the flat text; the links start afresh.
        const std::size_t work = chosen.size() * (length + m_replacement.size());
        const std::size_t linked = m_copies * m_replacement.size() + m_next.size();
        if (work > m_size || linked + work > m_base.size() / 16 + 65536 ||
            static_cast<std::size_t>(m_baseSize) + linked + work >= kNone / 2) {
            const Text flat = TextReplace(Materialize(), Text(m_keywords[k]), m_replacement, 1, -1,
                                          m_caseSensitive);
            return StartEpoch(flat, pass + 1);
        }
        for (std::uint32_t start : chosen) {
            ReplaceAt(start, length, pass);
        }
        m_size = static_cast<std::size_t>(size);
        return true;
    }

    void ReplaceAt(std::uint32_t start, std::size_t length, std::uint32_t pass) {
        const std::uint32_t before = Prev(start);
        std::uint32_t at = start;
        for (std::size_t j = 0; j < length; ++j) {
            m_dead.Set(at);
            at = j + 1 < length ? Next(at) : at;
        }
        const std::uint32_t after = Next(at);
        std::uint32_t copyFirst = after;
        if (!m_replacement.empty()) {
            copyFirst = m_baseSize + static_cast<std::uint32_t>(m_copies * m_replacement.size());
            const std::uint32_t copyLast = copyFirst + ReplacementSize() - 1;
            ++m_copies;
            Link(before, copyFirst);
            Link(copyLast, after);
        } else {
            Link(before, after);
        }
        FindFormed(before, copyFirst, after, pass);
    }

    // Records the occurrences of keywords with passes after pass that overlap the copy from
    // copyFirst up to after (or, for an empty replacement, span the cut between before and
    // after).
    void FindFormed(std::uint32_t before, std::uint32_t copyFirst, std::uint32_t after,
                    std::uint32_t pass) {
        if (m_reach == 0) {
            return;
        }
        m_window.clear();
        m_windowNodes.clear();
        for (std::uint32_t at = before; at != kNone && m_windowNodes.size() + 1 < m_reach;
             at = Prev(at)) {
            m_windowNodes.push_back(at);
        }
        std::reverse(m_windowNodes.begin(), m_windowNodes.end());
        const std::size_t copyFrom = m_windowNodes.size();
        for (std::uint32_t at = copyFirst; at != after; at = Next(at)) {
            m_windowNodes.push_back(at);
        }
        const std::size_t copyTo = m_windowNodes.size();
        std::size_t tail = 0;
        for (std::uint32_t at = after; at != kNone && tail + 1 < m_reach; at = Next(at), ++tail) {
            m_windowNodes.push_back(at);
        }
        for (std::uint32_t node : m_windowNodes) {
            m_window.push_back(static_cast<char>(Byte(node)));
        }
        m_formed.ScanAnywhere(m_window, [&](std::uint32_t k, std::size_t end) {
            const std::size_t start = end - m_keywords[k].size();
            const bool touches = copyFrom == copyTo ? start < copyFrom && end > copyFrom
                                                    : start < copyTo && end > copyFrom;
            const bool isCopy = start == copyFrom && end == copyTo;
            if (touches && !(isCopy && m_putsBack[k]) && m_lastPass[k] > pass &&
                IsCharacterStart(m_windowNodes[start])) {
                m_candidates[k].push_back(m_windowNodes[start]);
            }
        });
    }

    Text Materialize() const {
        Text flat;
        ReserveLargeText(flat, m_size);
        for (std::uint32_t at = m_first; at != kNone; at = Next(at)) {
            if (at < m_baseSize) {
                // The run of base bytes up to the next one linked elsewhere.
                const std::uint32_t last = static_cast<std::uint32_t>(
                    std::min<std::size_t>(m_nextSet.FirstSetFrom(at), m_baseSize - 1));
                flat.append(m_base, at, last - at + 1);
                at = last;
            } else {
                flat.push_back(static_cast<char>(Byte(at)));
            }
        }
        return flat;
    }

    const std::vector<std::string_view>& m_keywords;
    const std::vector<std::uint32_t>& m_passes;
    const Text& m_replacement;
    bool m_caseSensitive;
    std::size_t m_maxBytes;
    std::vector<std::vector<std::uint32_t>> m_candidates;  // where each keyword may occur
    std::vector<std::uint32_t> m_lastPass;
    std::vector<char> m_hasBorder;
    // Replacing an occurrence that holds the replacement's own bytes puts the same bytes
    // back, and, the keyword not overlapping itself, changes no other choice of its pass.
    std::vector<char> m_putsBack;
    std::vector<std::size_t> m_replacementStarts;
    std::vector<char> m_isReplacementStart;
    KeywordGroups m_formed;  // the keywords an inserted replacement can take part in
    std::size_t m_reach = 0;
    bool m_usable = false;
    bool m_tooLarge = false;

    Text m_base;
    std::uint32_t m_baseSize = 0;
    std::vector<std::uint64_t> m_baseStarts;
    std::size_t m_size = 0;
    std::uint32_t m_first = kNone;
    std::size_t m_copies = 0;
    GrowingBits m_dead;
    GrowingBits m_nextSet;
    GrowingBits m_prevSet;
    std::unordered_map<std::uint32_t, std::uint32_t> m_next;
    std::unordered_map<std::uint32_t, std::uint32_t> m_prev;
    std::string m_window;
    std::vector<std::uint32_t> m_windowNodes;
};

}  // namespace

LinkedPassResult ReplacePassesLinked(const Text& text,
                                     const std::vector<std::string_view>& keywords,
                                     const std::vector<std::uint32_t>& passes,
                                     const Text& replacement, bool caseSensitive,
                                     std::size_t maxBytes) {
    return LinkedPasses(keywords, passes, replacement, caseSensitive, maxBytes).Run(text);
}

}  // namespace velmor
