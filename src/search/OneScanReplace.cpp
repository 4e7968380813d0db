#include "search/OneScanReplace.h"

#include <algorithm>
#include <cstdint>

#include "core/LargeText.h"
#include "search/KeywordAutomaton.h"

namespace velmor {

namespace {

// Occurrences kept at once within one stretch that no keyword bridges.
constexpr std::size_t kMaxOccurrences = std::size_t{32} << 20;

struct Occurrence {
    std::uint32_t keyword;
    std::uint32_t start;
};

}  // namespace

// Because no replacement can take part in an occurrence and every replaced text ends on a
// character, pass k replaces, left to right, the occurrences of its keyword at character
// starts of the original text that overlap neither a place replaced by an earlier pass nor
// its own previous replacement.
OneScanResult ReplaceInOneScan(const Text& text, const std::vector<std::string_view>& keywords,
                               const Text& replacement, bool caseSensitive, std::size_t maxBytes,
                               bool listSpots) {
    OneScanResult outcome;
    if (text.size() >= UINT32_MAX || keywords.size() >= UINT32_MAX) {
        return outcome;
    }
    const KeywordAutomaton automaton(keywords, caseSensitive);
    if (!automaton.Built()) {
        return outcome;
    }
    Bits characterStarts(text.size());
    Bits replaced(text.size());
    std::vector<Occurrence> chosen;
    // The occurrences since the automaton last stood at its root: none of them can overlap
    // an occurrence outside this stretch, so its passes can be settled on their own.
    std::vector<std::uint64_t> stretch;  // keyword << 32 | start: by keyword, then in text order
    std::size_t stretchStart = SIZE_MAX;
    std::size_t stretchEnd = 0;
    const auto settle = [&]() {
        if (stretch.empty()) {
            return true;
        }
        const std::size_t chosenBefore = chosen.size();
        if (stretch.size() == 1) {
            chosen.push_back({static_cast<std::uint32_t>(stretch[0] >> 32),
                              static_cast<std::uint32_t>(stretch[0])});
        } else {
            std::sort(stretch.begin(), stretch.end());
            // Short stretches, the usual case, keep their replaced bytes in one word.
            const bool inWord = stretchEnd - stretchStart <= 64;
            std::uint64_t replacedInWord = 0;
            std::size_t passEnd = 0;
            std::uint32_t passKeyword = UINT32_MAX;
            for (const std::uint64_t entry : stretch) {
                const auto keyword = static_cast<std::uint32_t>(entry >> 32);
                const auto start = static_cast<std::uint32_t>(entry);
                if (keyword != passKeyword) {
                    passKeyword = keyword;
                    passEnd = 0;
                }
                const std::size_t end = start + keywords[keyword].size();
                if (start < passEnd) {
                    continue;
                }
                if (inWord) {
                    const std::size_t length = end - start;
                    const std::uint64_t bits =
                        (length == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << length) - 1)
                        << (start - stretchStart);
                    if ((replacedInWord & bits) != 0) {
                        continue;
                    }
                    replacedInWord |= bits;
                } else {
                    if (replaced.AnyIn(start, end)) {
                        continue;
                    }
                    replaced.SetRange(start, end);
                }
                chosen.push_back({keyword, start});
                passEnd = end;
            }
            std::sort(chosen.begin() + static_cast<std::ptrdiff_t>(chosenBefore), chosen.end(),
                      [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
        }
        stretch.clear();
        stretchStart = SIZE_MAX;
        stretchEnd = 0;
        return true;
    };
    const bool complete = automaton.Scan(
        text, characterStarts,
        [&](std::int32_t keyword, std::size_t end) {
            const std::size_t k = static_cast<std::size_t>(keyword);
            const std::size_t start = end - keywords[k].size();
            // The start byte has been walked already, so its mark is final.
            if (!characterStarts.Test(start)) {
                return true;
            }
            stretch.push_back(static_cast<std::uint64_t>(k) << 32 | start);
            stretchStart = std::min(stretchStart, start);
            stretchEnd = std::max(stretchEnd, end);
            return stretch.size() <= kMaxOccurrences;
        },
        settle);
    if (!complete) {
        return outcome;
    }

    std::size_t removed = 0;
    for (const Occurrence& occurrence : chosen) {
        removed += keywords[occurrence.keyword].size();
    }
    const long double size = static_cast<long double>(text.size() - removed) +
                             static_cast<long double>(chosen.size()) * replacement.size();
    if (size > static_cast<long double>(maxBytes)) {
        outcome.status = OneScanResult::Status::TooLarge;
        return outcome;
    }
    outcome.status = OneScanResult::Status::Done;
    outcome.replaced = chosen.size();
    ReserveLargeText(outcome.text, static_cast<std::size_t>(size));
    if (listSpots) {
        outcome.spots.reserve(chosen.size());
    }
    std::size_t copied = 0;
    for (const Occurrence& occurrence : chosen) {
        outcome.text.append(text, copied, occurrence.start - copied);
        if (listSpots) {
            outcome.spots.push_back(static_cast<std::uint32_t>(outcome.text.size()));
        }
        outcome.text += replacement;
        copied = occurrence.start + keywords[occurrence.keyword].size();
    }
    outcome.text.append(text, copied, std::string::npos);
    return outcome;
}

}  // namespace velmor
