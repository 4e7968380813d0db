#include "search/CodePointSet.h"

#include <algorithm>

#include "search/CaseFolding.h"

namespace velmor {

void CodePointSet::Add(char32_t first, char32_t last) {
    if (first > last) {
        return;
    }
    // Ranges that overlap or touch [first, last] merge with it.
    auto begin = std::lower_bound(m_ranges.begin(), m_ranges.end(), first,
                                  [](const Range& r, char32_t c) { return r.last + 1 < c; });
    auto end = begin;
    while (end != m_ranges.end() && end->first <= last + 1) {
        first = std::min(first, end->first);
        last = std::max(last, end->last);
        ++end;
    }
    const auto at = m_ranges.erase(begin, end);
    m_ranges.insert(at, Range{first, last});
}

void CodePointSet::Add(const CodePointSet& other) {
    for (const Range& r : other.m_ranges) {
        Add(r.first, r.last);
    }
}

bool CodePointSet::Contains(char32_t c) const {
    const auto it =
        std::upper_bound(m_ranges.begin(), m_ranges.end(), c,
                         [](char32_t value, const Range& r) { return value < r.first; });
    return it != m_ranges.begin() && c <= std::prev(it)->last;
}

CodePointSet CodePointSet::Complement() const {
    CodePointSet result;
    char32_t next = 0;
    for (const Range& r : m_ranges) {
        if (r.first > next) {
            result.m_ranges.push_back({next, r.first - 1});
        }
        next = r.last + 1;
    }
    if (next <= kLast) {
        result.m_ranges.push_back({next, kLast});
    }
    return result;
}

CodePointSet CodePointSet::CaseClosure() const {
    CodePointSet result = *this;
    for (const char32_t c : CasedCharacters()) {
        if (Contains(c)) {
            continue;
        }
        for (const char32_t equivalent : CaseEquivalents(c)) {
            if (Contains(equivalent)) {
                result.Add(c);
                break;
            }
        }
    }
    return result;
}

CodePointTable::CodePointTable(const CodePointSet& set) : m_bits(0x10000 / 64, 0), m_set(set) {
    for (const auto& r : set.Ranges()) {
        for (char32_t c = r.first; c <= r.last && c < 0x10000; ++c) {
            m_bits[c >> 6] |= std::uint64_t{1} << (c & 63);
        }
    }
}

}  // namespace velmor
