#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/Text.h"

namespace velmor {

class DialogFields;

// The paragraph-number field of every dialog of the paragraph family.
inline constexpr std::string_view kNumberField = "编辑框1";
inline constexpr std::string_view kCrLf = "\r\n";

// Which paragraphs a command of the paragraph family works on, set by the radio buttons of
// the group "指定段/倍数段".
enum class SelectionMode { Listed, Multiples, Odd, Every };

// The document cut at CR LF as views into text (which must outlive them), numbered from 1:
// no piece after a final CR LF, an empty text gives no paragraphs, a CR LF that is the trail
// of a double-byte character does not cut.
std::vector<std::string_view> ParagraphList(std::string_view text);

// The entries of the paragraph-number field 编辑框1. Rewrites the field as the dialog shows it
// after a run: spaces removed, full-width commas made ASCII.
TextList ReadParagraphNumbers(DialogFields& fields);

// IsParagraphSelected for one run, answered in constant time per paragraph: the entries are
// turned into a table over the paragraph numbers once.
class ParagraphSelector {
public:
    // paragraphCount bounds the table; numbers above it are never asked about.
    ParagraphSelector(SelectionMode mode, const TextList& entries, std::size_t paragraphCount);

    // number runs from 1 to paragraphCount.
    bool IsParagraphSelected(std::size_t number) const {
        switch (m_mode) {
            case SelectionMode::Odd:
                return number % 2 == 1;
            case SelectionMode::Every:
                return true;
            default:
                return number < m_selected.size() && m_selected[number];
        }
    }

private:
    SelectionMode m_mode;
    std::vector<bool> m_selected;
};

}  // namespace velmor
