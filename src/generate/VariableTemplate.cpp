#include "generate/VariableTemplate.h"

#include <algorithm>

#include "core/TextPrimitives.h"

namespace velmor {

namespace {

// The bytes a value is written with: digits, and the minus sign that padding zeros may precede.
bool IsValueByte(char c) {
    return (c >= '0' && c <= '9') || c == '-';
}

}  // namespace

VariableTemplate::VariableTemplate(const Text& templateText, const std::vector<Text>& names) {
    if (!templateText.empty()) {
        m_pieces.push_back({templateText, -1});
    }
    const std::uint64_t templateBytes = templateText.size();
    for (std::size_t k = 0; k < names.size(); ++k) {
        const Text& name = names[k];
        if (name.empty()) {
            // TextReplace leaves the text as it is.
            m_places.push_back(0);
            m_literalBytes.push_back(m_literalBytes.empty() ? templateBytes
                                                            : m_literalBytes.back());
            continue;
        }
        // Whether a one-byte name drops a lead byte at the very end depends on the whole copy.
        if (name.size() == 1 || MayTakeInAValue(name)) {
            break;
        }
        Substitute(name, static_cast<int>(k));
    }
}

bool VariableTemplate::MayTakeInAValue(const Text& name) const {
    if (std::none_of(name.begin(), name.end(), IsValueByte)) {
        return false;
    }
    const std::size_t length = name.size();
    for (std::size_t piece = 0; piece < m_pieces.size(); ++piece) {
        if (m_pieces[piece].variable < 0) {
            continue;
        }
        // Starting before the value, with name[j] on its first byte.
        for (std::size_t j = 1; j < length; ++j) {
            if (IsValueByte(name[j]) && MayEndBefore(piece, name.data(), j)) {
                return true;
            }
        }
        // Starting inside the value, on its last t bytes.
        for (std::size_t t = 1; t <= length && IsValueByte(name[t - 1]); ++t) {
            if (t == length || MayStartAfter(piece, name.data() + t, length - t)) {
                return true;
            }
        }
    }
    return false;
}

// Whether the bytes could stand right before the piece; a value on the way may be any value.
bool VariableTemplate::MayEndBefore(std::size_t piece, const char* bytes,
                                    std::size_t length) const {
    std::size_t left = length;
    while (left > 0) {
        if (piece == 0) {
            return false;
        }
        const TemplatePiece& before = m_pieces[--piece];
        if (before.variable >= 0) {
            return IsValueByte(bytes[left - 1]);
        }
        const Text& literal = before.literal;
        const std::size_t compared = std::min(left, literal.size());
        if (literal.compare(literal.size() - compared, compared, bytes + left - compared,
                            compared) != 0) {
            return false;
        }
        left -= compared;
    }
    return true;
}

// Whether the bytes could stand right after the piece; a value on the way may be any value.
bool VariableTemplate::MayStartAfter(std::size_t piece, const char* bytes,
                                     std::size_t length) const {
    std::size_t used = 0;
    while (used < length) {
        if (++piece == m_pieces.size()) {
            return false;
        }
        const TemplatePiece& after = m_pieces[piece];
        if (after.variable >= 0) {
            return IsValueByte(bytes[used]);
        }
        const Text& literal = after.literal;
        const std::size_t compared = std::min(length - used, literal.size());
        if (literal.compare(0, compared, bytes + used, compared) != 0) {
            return false;
        }
        used += compared;
    }
    return true;
}

// TextReplace of the name over each literal piece on its own: a value is ASCII, so no
// character runs into the literal after it, and no match can span one (MayTakeInAValue).
void VariableTemplate::Substitute(const Text& name, int variable) {
    std::vector<TemplatePiece> pieces;
    pieces.reserve(m_pieces.size());
    std::uint64_t places = 0;
    std::uint64_t literalBytes = 0;
    const auto keep = [&](Text literal) {
        literalBytes += literal.size();
        pieces.push_back({std::move(literal), -1});
    };
    for (TemplatePiece& piece : m_pieces) {
        if (piece.variable >= 0) {
            pieces.push_back(std::move(piece));
            continue;
        }
        if (piece.literal.find(name) == Text::npos) {
            keep(std::move(piece.literal));
            continue;
        }
        const Text& literal = piece.literal;
        std::size_t copied = 0;
        for (int at = TextFind(literal, name, 1); at != -1;
             at = TextFind(literal, name, at + static_cast<int>(name.size()))) {
            const auto found = static_cast<std::size_t>(at - 1);
            if (found > copied) {
                keep(literal.substr(copied, found - copied));
            }
            pieces.push_back({{}, variable});
            ++places;
            copied = found + name.size();
        }
        if (copied == 0) {
            keep(std::move(piece.literal));
        } else if (copied < literal.size()) {
            keep(literal.substr(copied));
        }
    }
    m_pieces = std::move(pieces);
    m_places.push_back(places);
    m_literalBytes.push_back(literalBytes);
}

}  // namespace velmor
