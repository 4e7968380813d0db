#include "transform/ChineseScript.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/CodePage936.h"
#include "core/LargeText.h"
#include "core/Utf8.h"
#include "transform/TransformCommands.h"

namespace velmor {

namespace {

constexpr char32_t kNoCharacter = 0;

struct TrailRange {
    unsigned char lead;
    unsigned char first;
    unsigned char last;
};

// Pairs that code page 936 may give a character but GBK as other programs read it does not:
// the user-defined areas (AAA1–AFFE, F8A1–FEFE, A140–A7A0, with FE50–FEA0 beside them) and the
// cells those decoders leave unassigned. A conversion never produces them.
constexpr TrailRange kUnreadablePairs[] = {
    {0xA1, 0x40, 0xA0}, {0xA2, 0x40, 0xA0}, {0xA2, 0xAB, 0xB0}, {0xA2, 0xE3, 0xE4},
    {0xA2, 0xEF, 0xF0}, {0xA2, 0xFD, 0xFE}, {0xA3, 0x40, 0xA0}, {0xA4, 0x40, 0xA0},
    {0xA4, 0xF4, 0xFE}, {0xA5, 0x40, 0xA0}, {0xA5, 0xF7, 0xFE}, {0xA6, 0x40, 0xA0},
    {0xA6, 0xB9, 0xC0}, {0xA6, 0xD9, 0xDF}, {0xA6, 0xEC, 0xED}, {0xA6, 0xF3, 0xF3},
    {0xA6, 0xF6, 0xFE}, {0xA7, 0x40, 0xA0}, {0xA7, 0xC2, 0xD0}, {0xA7, 0xF2, 0xFE},
    {0xA8, 0x96, 0xA0}, {0xA8, 0xBC, 0xBC}, {0xA8, 0xBF, 0xBF}, {0xA8, 0xC1, 0xC4},
    {0xA8, 0xEA, 0xFE}, {0xA9, 0x58, 0x58}, {0xA9, 0x5B, 0x5B}, {0xA9, 0x5D, 0x5F},
    {0xA9, 0x89, 0x95}, {0xA9, 0x97, 0xA3}, {0xA9, 0xF0, 0xFE}, {0xAA, 0xA1, 0xFE},
    {0xAB, 0xA1, 0xFE}, {0xAC, 0xA1, 0xFE}, {0xAD, 0xA1, 0xFE}, {0xAE, 0xA1, 0xFE},
    {0xAF, 0xA1, 0xFE}, {0xD7, 0xFA, 0xFE}, {0xF8, 0xA1, 0xFE}, {0xF9, 0xA1, 0xFE},
    {0xFA, 0xA1, 0xFE}, {0xFB, 0xA1, 0xFE}, {0xFC, 0xA1, 0xFE}, {0xFD, 0xA1, 0xFE},
    {0xFE, 0x50, 0xFE},
};

bool IsWidelyReadPair(std::uint16_t pair) {
    const auto lead = static_cast<unsigned char>(pair >> 8);
    const auto trail = static_cast<unsigned char>(pair & 0xFF);
    for (const TrailRange& range : kUnreadablePairs) {
        if (range.lead == lead && trail >= range.first && trail <= range.last) {
            return false;
        }
    }
    return true;
}

// Code page 936 double-byte characters by their two bytes, and back for the basic plane.
struct PairTables {
    std::vector<char32_t> pairToCode = std::vector<char32_t>(0x10000, kNoCharacter);
    std::vector<std::uint16_t> codeToPair = std::vector<std::uint16_t>(0x10000, 0);
};

const PairTables& Tables() {
    static const PairTables tables = [] {
        PairTables built;
        std::vector<char32_t> decoded;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
                if (!DecodeUtf8(GbkToUtf8(pair), decoded) || decoded.size() != 1) {
                    continue;
                }
                const char32_t c = decoded.front();
                if (c < 0x80 || EncodeCodePoint(c) != pair) {
                    continue;
                }
                built.pairToCode[(lead << 8) | trail] = c;
                const auto code = static_cast<std::uint16_t>((lead << 8) | trail);
                // Only a target that every GBK reader decodes may be written.
                if (c < 0x10000 && IsWidelyReadPair(code)) {
                    built.codeToPair[c] = code;
                }
            }
        }
        return built;
    }();
    return tables;
}

// Walks the text, gathering maximal stretches of double-byte characters into batches that go
// through the converter in one call each, the stretches joined by line feeds (no phrase spans
// a line feed, and the converter keeps them).
class ScriptConversion {
public:
    ScriptConversion(const Text& text, ChineseScript target, const ChineseConverter& converter)
        : m_text(text), m_target(target), m_converter(converter), m_tables(Tables()) {}

    Text Run() {
        ReserveLargeText(m_output, m_text.size());
        const std::size_t size = m_text.size();
        std::size_t i = 0;
        while (i < size) {
            const auto byte = static_cast<unsigned char>(m_text[i]);
            char32_t c = kNoCharacter;
            if (byte >= 0x80 && i + 1 < size) {
                c = m_tables.pairToCode[(byte << 8) | static_cast<unsigned char>(m_text[i + 1])];
            }
            if (c == kNoCharacter) {
                CloseStretch();
                // A lead byte takes the next byte along even when the pair is no character.
                i += (byte >= 0x80 && i + 1 < size) ? 2 : 1;
                continue;
            }
            if (!m_inStretch) {
                m_stretches.push_back({m_pending.size(), 0});
                m_inStretch = true;
            }
            m_pending.push_back({i, c});
            i += 2;
        }
        CloseStretch();
        Flush(size);
        m_output.append(m_text.size() - m_output.size(), ' ');
        return std::move(m_output);
    }

private:
    struct Character {
        std::size_t offset;  // of its lead byte in the text
        char32_t code;
    };
    struct Stretch {
        std::size_t first;  // index into m_pending
        std::size_t count;
    };

    static constexpr std::size_t kBatchCharacters = 1 << 16;

    std::string Convert(std::string_view utf8) const {
        return m_target == ChineseScript::Simplified ? m_converter.ToSimplified(utf8)
                                                     : m_converter.ToTraditional(utf8);
    }

    void CloseStretch() {
        if (!m_inStretch) {
            return;
        }
        m_inStretch = false;
        m_stretches.back().count = m_pending.size() - m_stretches.back().first;
        if (m_pending.size() >= kBatchCharacters) {
            Flush(m_pending.back().offset + 2);
        }
    }

    // Converts several pieces in one call; false when the result does not split back into
    // exactly as many well-formed pieces.
    bool ConvertJoined(const std::vector<std::string>& pieces,
                       std::vector<std::vector<char32_t>>& converted) const {
        std::string joined;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (k > 0) {
                joined += '\n';
            }
            joined += pieces[k];
        }
        const std::string result = Convert(joined);
        if (static_cast<std::size_t>(std::count(result.begin(), result.end(), '\n')) + 1 !=
            pieces.size()) {
            return false;
        }
        converted.assign(pieces.size(), {});
        std::size_t start = 0;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const std::size_t end =
                k + 1 < pieces.size() ? result.find('\n', start) : result.size();
            if (end == std::string::npos ||
                !DecodeUtf8(std::string_view(result).substr(start, end - start), converted[k])) {
                return false;
            }
            start = end + 1;
        }
        return true;
    }

    // Each piece converted on its own, trusting only well-formed results.
    void ConvertEach(const std::vector<std::string>& pieces,
                     std::vector<std::vector<char32_t>>& converted) const {
        if (ConvertJoined(pieces, converted)) {
            return;
        }
        converted.assign(pieces.size(), {});
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (!DecodeUtf8(Convert(pieces[k]), converted[k])) {
                converted[k].clear();
            }
        }
    }

    std::string Utf8Of(const Stretch& stretch) const {
        std::string utf8;
        for (std::size_t k = 0; k < stretch.count; ++k) {
            AppendUtf8(utf8, m_pending[stretch.first + k].code);
        }
        return utf8;
    }

    // The converted code of every pending character, kNoCharacter where it stays as it was.
    std::vector<char32_t> ConvertPending() const {
        std::vector<char32_t> codes(m_pending.size(), kNoCharacter);
        if (m_stretches.empty()) {
            return codes;
        }
        std::vector<std::string> pieces;
        pieces.reserve(m_stretches.size());
        for (const Stretch& stretch : m_stretches) {
            pieces.push_back(Utf8Of(stretch));
        }
        std::vector<std::vector<char32_t>> converted;
        ConvertEach(pieces, converted);

        std::vector<std::size_t> misaligned;
        for (std::size_t s = 0; s < m_stretches.size(); ++s) {
            const Stretch& stretch = m_stretches[s];
            if (converted[s].size() != stretch.count) {
                misaligned.push_back(s);
                continue;
            }
            std::copy(converted[s].begin(), converted[s].end(), codes.begin() + stretch.first);
        }
        if (misaligned.empty()) {
            return codes;
        }

        std::vector<std::string> singles;
        std::vector<std::size_t> indices;
        for (std::size_t s : misaligned) {
            const Stretch& stretch = m_stretches[s];
            for (std::size_t k = stretch.first; k < stretch.first + stretch.count; ++k) {
                singles.emplace_back();
                AppendUtf8(singles.back(), m_pending[k].code);
                indices.push_back(k);
            }
        }
        ConvertEach(singles, converted);
        for (std::size_t k = 0; k < singles.size(); ++k) {
            if (converted[k].size() == 1) {
                codes[indices[k]] = converted[k].front();
            }
        }
        return codes;
    }

    void AppendConverted(const Character& original, char32_t code) {
        if (code != kNoCharacter && code < 0x80) {
            m_output += static_cast<char>(code);
            return;
        }
        if (code != kNoCharacter && code < 0x10000 && m_tables.codeToPair[code] != 0) {
            m_output += static_cast<char>(m_tables.codeToPair[code] >> 8);
            m_output += static_cast<char>(m_tables.codeToPair[code] & 0xFF);
            return;
        }
        m_output.append(m_text, original.offset, 2);
    }

    // Writes everything before end: the untouched bytes and the pending characters converted.
    void Flush(std::size_t end) {
        const std::vector<char32_t> codes = ConvertPending();
        for (std::size_t k = 0; k < m_pending.size(); ++k) {
            const Character& character = m_pending[k];
            m_output.append(m_text, m_copied, character.offset - m_copied);
            AppendConverted(character, codes[k]);
            m_copied = character.offset + 2;
        }
        m_output.append(m_text, m_copied, end - m_copied);
        m_copied = end;
        m_pending.clear();
        m_stretches.clear();
    }

    const Text& m_text;
    const ChineseScript m_target;
    const ChineseConverter& m_converter;
    const PairTables& m_tables;
    Text m_output;
    std::size_t m_copied = 0;
    std::vector<Character> m_pending;
    std::vector<Stretch> m_stretches;
    bool m_inStretch = false;
};

void ConvertDocument(CommandContext& context, ChineseScript target) {
    if (context.services.chinese == nullptr) {
        return;
    }
    context.editor.ReplaceText(
        ConvertChineseScript(context.editor.LendText().Get(), target, *context.services.chinese));
}

}  // namespace

Text ConvertChineseScript(const Text& text, ChineseScript target,
                          const ChineseConverter& converter) {
    return ScriptConversion(text, target, converter).Run();
}

void RunToSimplified(CommandContext& context) {
    ConvertDocument(context, ChineseScript::Simplified);
}

void RunToTraditional(CommandContext& context) {
    ConvertDocument(context, ChineseScript::Traditional);
}

}  // namespace velmor
