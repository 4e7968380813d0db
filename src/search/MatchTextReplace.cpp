#include "search/MatchTextReplace.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "core/TextPrimitives.h"
#include "search/KeywordAutomaton.h"
#include "search/LinkedPassReplace.h"
#include "search/OneScanReplace.h"

namespace velmor {

namespace {

// Keyword bytes one scan takes at most: with every byte value a class of its own, the
// keyword table of a batch stays within what one scan may build (32 Mi entries).
constexpr std::size_t kMaxBatchKeywordBytes = 120 * 1024;

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

// Whether the character walk of text ends on a lead byte without its trail byte: the run of
// lead bytes at the end pairs up from the byte below 0x80 before it.
bool EndsInLoneLeadByte(std::string_view text) {
    std::size_t run = 0;
    while (run < text.size() &&
           IsLeadByte(static_cast<unsigned char>(text[text.size() - 1 - run]))) {
        ++run;
    }
    return run % 2 == 1;
}

struct FoldedHash {
    bool caseSensitive;
    std::size_t operator()(std::string_view s) const {
        std::uint64_t hash = 1469598103934665603ULL;
        for (char c : s) {
            hash = (hash ^ Fold(static_cast<unsigned char>(c), caseSensitive)) * 1099511628211ULL;
        }
        return static_cast<std::size_t>(hash);
    }
};

struct FoldedEqual {
    bool caseSensitive;
    bool operator()(std::string_view a, std::string_view b) const {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (Fold(static_cast<unsigned char>(a[i]), caseSensitive) !=
                Fold(static_cast<unsigned char>(b[i]), caseSensitive)) {
                return false;
            }
        }
        return true;
    }
};

// The passes as indices into the distinct match texts (distinct as folded), in order.
struct PassList {
    std::vector<std::string_view> keywords;
    std::vector<std::uint32_t> passes;
};

PassList ListPasses(const std::vector<std::string_view>& matchTexts, bool caseSensitive) {
    PassList list;
    list.passes.reserve(matchTexts.size());
    std::unordered_map<std::string_view, std::uint32_t, FoldedHash, FoldedEqual> index(
        64, FoldedHash{caseSensitive}, FoldedEqual{caseSensitive});
    for (std::string_view matchText : matchTexts) {
        if (matchText.empty()) {
            continue;
        }
        const auto [entry, added] =
            index.try_emplace(matchText, static_cast<std::uint32_t>(list.keywords.size()));
        if (added) {
            list.keywords.push_back(matchText);
        }
        list.passes.push_back(entry->second);
    }
    return list;
}

// Whether the replacement can take part in an occurrence of some keyword while every keyword
// and the replacement end on a character, in a text that does not end in a lone lead byte:
// then the passes are followed occurrence by occurrence.
bool FeedsAlignedTexts(const Text& text, const std::vector<std::string_view>& keywords,
                       const Text& replacement, bool caseSensitive) {
    if (!EndsOnCharacter(replacement) || EndsInLoneLeadByte(text)) {
        return false;
    }
    std::array<bool, 256> inReplacement{};
    for (char c : replacement) {
        inReplacement[Fold(static_cast<unsigned char>(c), caseSensitive)] = true;
    }
    bool feeds = replacement.empty();
    for (std::string_view keyword : keywords) {
        if (!EndsOnCharacter(keyword)) {
            return false;
        }
        for (char c : keyword) {
            feeds = feeds || inReplacement[Fold(static_cast<unsigned char>(c), caseSensitive)];
        }
    }
    return feeds;
}

// Runs the passes in order. A pass is skipped when it is known to change nothing; runs of
// passes whose texts the replacement cannot form are done together in one scan. After a
// scan, a text can occur again only where it overlaps an inserted replacement (the rest
// consists of stretches each pass left without its text), so only the places around the
// replacements are searched for texts that may need their pass again.
class PassRunner {
public:
    PassRunner(const Text& text, PassList list, const Text& replacement, bool caseSensitive,
               std::size_t maxBytes)
        : m_current(&text),
          m_list(std::move(list)),
          m_replacement(replacement),
          m_caseSensitive(caseSensitive),
          m_maxBytes(maxBytes) {
        const std::size_t count = m_list.keywords.size();
        m_mayOccur.assign(count, 1);
        m_interacts.assign(count, 0);
        m_aligned.assign(count, 0);
        const bool replacementAligned = EndsOnCharacter(replacement);
        std::array<bool, 256> inReplacement{};
        for (char c : replacement) {
            inReplacement[Fold(static_cast<unsigned char>(c), caseSensitive)] = true;
        }
        for (std::size_t k = 0; k < count; ++k) {
            const std::string_view keyword = m_list.keywords[k];
            m_aligned[k] = replacementAligned && EndsOnCharacter(keyword);
            bool interacts = !m_aligned[k] || replacement.empty();
            for (char c : keyword) {
                interacts =
                    interacts || inReplacement[Fold(static_cast<unsigned char>(c), caseSensitive)];
            }
            m_interacts[k] = interacts;
        }
        m_endsInLoneLeadByte = EndsInLoneLeadByte(text);
    }

    std::optional<Text> Run() {
        const std::vector<std::uint32_t>& passes = m_list.passes;
        std::size_t i = 0;
        while (i < passes.size()) {
            const std::uint32_t first = passes[i++];
            if (!m_mayOccur[first] && !m_endsInLoneLeadByte) {
                continue;
            }
            m_batch.assign(1, first);
            m_mayOccur[first] = 0;
            if (m_aligned[first] && !m_endsInLoneLeadByte) {
                std::size_t batchBytes = m_list.keywords[first].size();
                for (; i < passes.size() && !m_interacts[passes[i]]; ++i) {
                    const std::uint32_t next = passes[i];
                    if (!m_mayOccur[next]) {
                        continue;
                    }
                    batchBytes += m_list.keywords[next].size();
                    if (batchBytes > kMaxBatchKeywordBytes) {
                        break;
                    }
                    m_mayOccur[next] = 0;
                    m_batch.push_back(next);
                }
            }
            if (!RunBatch()) {
                return std::nullopt;
            }
        }
        if (m_current != &m_working) {
            return *m_current;
        }
        return std::move(m_working);
    }

private:
    bool RunBatch() {
        if (m_aligned[m_batch.front()] && !m_endsInLoneLeadByte) {
            std::vector<std::string_view> keywords;
            keywords.reserve(m_batch.size());
            for (std::uint32_t k : m_batch) {
                keywords.push_back(m_list.keywords[k]);
            }
            const bool listSpots =
                std::find(m_interacts.begin(), m_interacts.end(), 1) != m_interacts.end();
            OneScanResult scanned = ReplaceInOneScan(*m_current, keywords, m_replacement,
                                                     m_caseSensitive, m_maxBytes, listSpots);
            if (scanned.status == OneScanResult::Status::TooLarge) {
                return false;
            }
            if (scanned.status == OneScanResult::Status::Done) {
                if (scanned.replaced > 0) {
                    m_working = std::move(scanned.text);
                    m_current = &m_working;
                    MarkTextsAroundSpots(scanned.spots);
                }
                return true;
            }
        }
        return RunBatchPassByPass();
    }

    // Where the places a text may occur again are not known, every text may.
    bool RunBatchPassByPass() {
        bool changed = false;
        for (std::uint32_t k : m_batch) {
            const std::string_view keyword = m_list.keywords[k];
            if (ReplacedSizeExceeds(*m_current, keyword, m_replacement, m_caseSensitive,
                                    m_maxBytes)) {
                return false;
            }
            Text next =
                TextReplace(*m_current, Text(keyword), m_replacement, 1, -1, m_caseSensitive);
            if (next != *m_current) {
                changed = true;
                m_working = std::move(next);
                m_current = &m_working;
            }
        }
        if (changed) {
            std::fill(m_mayOccur.begin(), m_mayOccur.end(), 1);
            m_endsInLoneLeadByte = EndsInLoneLeadByte(*m_current);
        }
        return true;
    }

    // Marks every text the replacement can take part in that overlaps an inserted
    // replacement (or, for an empty one, spans the place it was cut). An occurrence that is
    // exactly an inserted replacement is left out: its pass would put the same bytes back.
    void MarkTextsAroundSpots(const std::vector<std::uint32_t>& spots) {
        if (spots.empty()) {
            return;
        }
        if (!BuildSpotAutomaton()) {
            for (std::size_t k = 0; k < m_interacts.size(); ++k) {
                m_mayOccur[k] = m_mayOccur[k] || m_interacts[k];
            }
            return;
        }
        const std::string_view text = *m_current;
        const std::size_t size = m_replacement.size();
        const std::size_t reach = m_spotKeywordLength - 1;
        std::size_t s = 0;
        while (s < spots.size()) {
            const std::size_t spot = spots[s];
            const std::size_t from = spot > reach ? spot - reach : 0;
            std::size_t to = std::min(text.size(), spot + size + reach);
            for (++s; s < spots.size() && spots[s] <= to + reach; ++s) {
                to = std::min(text.size(), std::size_t{spots[s]} + size + reach);
            }
            m_spotAutomaton->ScanAnywhere(
                text.substr(from, to - from), [&](std::int32_t found, std::size_t endInWindow) {
                    const std::uint32_t k = m_spotKeywordIds[static_cast<std::size_t>(found)];
                    const std::size_t end = from + endInWindow;
                    const std::size_t start = end - m_list.keywords[k].size();
                    const auto after = std::partition_point(
                        spots.begin(), spots.end(),
                        [&](std::uint32_t spot) { return spot + size <= start; });
                    if (after != spots.end() && *after < end &&
                        !(*after == start && start + size == end)) {
                        m_mayOccur[k] = 1;
                    }
                    return true;
                });
        }
    }

    bool BuildSpotAutomaton() {
        if (!m_spotAutomaton) {
            std::vector<std::string_view> keywords;
            for (std::size_t k = 0; k < m_interacts.size(); ++k) {
                if (m_interacts[k]) {
                    keywords.push_back(m_list.keywords[k]);
                    m_spotKeywordIds.push_back(static_cast<std::uint32_t>(k));
                    m_spotKeywordLength = std::max(m_spotKeywordLength, m_list.keywords[k].size());
                }
            }
            m_spotKeywords = std::move(keywords);
            m_spotAutomaton = std::make_unique<KeywordAutomaton>(m_spotKeywords, m_caseSensitive);
        }
        return m_spotAutomaton->Built() && !m_spotKeywords.empty();
    }

    const Text* m_current;
    Text m_working;
    PassList m_list;
    const Text& m_replacement;
    bool m_caseSensitive;
    std::size_t m_maxBytes;
    std::vector<char> m_mayOccur;   // a pass of the text might change the working text
    std::vector<char> m_interacts;  // the replacement can take part in an occurrence
    std::vector<char> m_aligned;    // the text and the replacement end on a character
    bool m_endsInLoneLeadByte = false;
    std::vector<std::uint32_t> m_batch;
    std::vector<std::string_view> m_spotKeywords;
    std::vector<std::uint32_t> m_spotKeywordIds;
    std::size_t m_spotKeywordLength = 1;
    std::unique_ptr<KeywordAutomaton> m_spotAutomaton;
};

}  // namespace

bool ReplacedSizeExceeds(const Text& working, std::string_view find, const Text& replacement,
                         bool caseSensitive, std::size_t maxBytes) {
    // Neither change per occurrence nor the bound on the occurrences can settle it when the
    // text shrinks from above the limit or grows toward it.
    const long double change =
        static_cast<long double>(replacement.size()) - static_cast<long double>(find.size());
    const long double bound =
        static_cast<long double>(working.size()) +
        std::max(change, 0.0L) *
            static_cast<long double>(find.empty() ? 0 : working.size() / find.size());
    if (bound <= static_cast<long double>(maxBytes)) {
        return false;
    }
    const long double count =
        static_cast<long double>(CountReplacements(working, find, caseSensitive));
    return static_cast<long double>(working.size()) + count * change >
           static_cast<long double>(maxBytes);
}

std::size_t CountReplacements(const Text& text, std::string_view find, bool caseSensitive) {
    if (find.empty()) {
        return 0;
    }
    if (EndsOnCharacter(find)) {
        const KeywordAutomaton automaton({find}, caseSensitive);
        if (automaton.Built()) {
            Bits characterStarts(text.size());
            std::size_t count = 0;
            std::size_t lastEnd = 0;
            automaton.Scan(
                text, characterStarts,
                [&](std::int32_t, std::size_t end) {
                    const std::size_t start = end - find.size();
                    if (start >= lastEnd && characterStarts.Test(start)) {
                        ++count;
                        lastEnd = end;
                    }
                    return true;
                },
                [] { return true; });
            return count;
        }
    }
    // The walk starts afresh behind each occurrence, which only TextFind follows here.
    const Text what(find);
    std::size_t count = 0;
    int position = 1;
    while ((position = TextFind(text, what, position, !caseSensitive)) != -1) {
        ++count;
        position += static_cast<int>(what.size());
    }
    return count;
}

std::optional<Text> ReplaceMatchTexts(const Text& text,
                                      const std::vector<std::string_view>& matchTexts,
                                      const Text& replacement, bool caseSensitive,
                                      std::size_t maxBytes) {
    PassList list = ListPasses(matchTexts, caseSensitive);
    if (list.passes.empty()) {
        return text;
    }
    if (FeedsAlignedTexts(text, list.keywords, replacement, caseSensitive)) {
        LinkedPassResult linked = ReplacePassesLinked(text, list.keywords, list.passes, replacement,
                                                      caseSensitive, maxBytes);
        if (linked.status == LinkedPassResult::Status::Done) {
            return std::move(linked.text);
        }
        if (linked.status == LinkedPassResult::Status::TooLarge) {
            return std::nullopt;
        }
    }
    return PassRunner(text, std::move(list), replacement, caseSensitive, maxBytes).Run();
}

}  // namespace velmor
