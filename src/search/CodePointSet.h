#pragma once

#include <cstdint>
#include <vector>

namespace velmor {

// A set of code points kept as sorted, disjoint, non-adjacent ranges.
class CodePointSet {
public:
    static constexpr char32_t kLast = 0x10FFFF;

    struct Range {
        char32_t first;
        char32_t last;
    };

    void Add(char32_t first, char32_t last);
    void Add(char32_t c) { Add(c, c); }
    void Add(const CodePointSet& other);

    bool Contains(char32_t c) const;
    bool IsEmpty() const { return m_ranges.empty(); }
    const std::vector<Range>& Ranges() const { return m_ranges; }

    // Every code point from 0 to kLast that the set lacks.
    CodePointSet Complement() const;
    // The set with every case equivalent of its members added.
    CodePointSet CaseClosure() const;

private:
    std::vector<Range> m_ranges;
};

// Membership of a set, answered by one bit lookup for the Basic Multilingual Plane.
class CodePointTable {
public:
    explicit CodePointTable(const CodePointSet& set);
    bool Contains(char32_t c) const {
        return c < 0x10000 ? (m_bits[c >> 6] >> (c & 63) & 1) != 0 : m_set.Contains(c);
    }

private:
    std::vector<std::uint64_t> m_bits;
    CodePointSet m_set;
};

}  // namespace velmor
