#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Text.h"

namespace velmor {

// A piece of the template after substitution: literal text, or the place of a variable's value.
struct TemplatePiece {
    Text literal;
    int variable = -1;  // the row whose value goes here; -1 for literal text
};

// The template of variable text as substituting the names one after another (TextReplace, in
// list order) leaves it, worked out once for every copy. A value is digits and "-", whatever
// the copy; as long as no later name could take in a byte of a value, each name's places
// follow from the template alone, and a copy is its pieces with the values put in. The names
// from the first that could take in one on are left to be substituted copy by copy.
class VariableTemplate {
public:
    VariableTemplate(const Text& templateText, const std::vector<Text>& names);

    const std::vector<TemplatePiece>& Pieces() const { return m_pieces; }
    // Names 0..PlannedCount()-1 have been substituted into the pieces.
    std::size_t PlannedCount() const { return m_places.size(); }
    // How many places planned name k took.
    std::uint64_t Places(std::size_t k) const { return m_places[k]; }
    // The bytes of literal text left once planned name k was substituted.
    std::uint64_t LiteralBytesAfter(std::size_t k) const { return m_literalBytes[k]; }

private:
    // Whether name could match somewhere in the pieces with a byte of some value in it.
    bool MayTakeInAValue(const Text& name) const;
    bool MayEndBefore(std::size_t piece, const char* bytes, std::size_t length) const;
    bool MayStartAfter(std::size_t piece, const char* bytes, std::size_t length) const;
    void Substitute(const Text& name, int variable);

    std::vector<TemplatePiece> m_pieces;
    std::vector<std::uint64_t> m_places;
    std::vector<std::uint64_t> m_literalBytes;
};

}  // namespace velmor
