#include "paragraph/ParagraphSelection.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/DialogFields.h"
#include "core/Numbers.h"
#include "core/TextPrimitives.h"
#include "paragraph/ParagraphWalker.h"

namespace velmor {

std::vector<std::string_view> ParagraphList(std::string_view text) {
    std::vector<std::string_view> paragraphs;
    ParagraphWalker walker(text);
    for (std::string_view paragraph; walker.Next(paragraph);) {
        paragraphs.push_back(paragraph);
    }
    return paragraphs;
}

TextList ReadParagraphNumbers(DialogFields& fields) {
    Text& field = fields.At(kNumberField).text;
    field = TextStripSpaces(field);
    field = TextReplace(field, "\xA3\xAC", ",", 1, -1, true);
    return TextSplit(field, ",");
}

ParagraphSelector::ParagraphSelector(SelectionMode mode, const TextList& entries,
                                     std::size_t paragraphCount)
    : m_mode(mode) {
    if (mode != SelectionMode::Listed && mode != SelectionMode::Multiples) {
        return;
    }
    m_selected.assign(paragraphCount + 1, false);
    std::vector<std::size_t> values;
    values.reserve(entries.size());
    for (const Text& entry : entries) {
        // A negative divisor acts like its absolute value; a negative paragraph number never
        // matches, and neither does 0. An entry of 0 under 倍数 is skipped: it divides nothing.
        const std::int64_t value = ToInt(entry);
        if (value == 0 || (mode == SelectionMode::Listed && value < 0)) {
            continue;
        }
        const auto magnitude = static_cast<std::size_t>(std::llabs(value));
        if (magnitude <= paragraphCount) {
            values.push_back(magnitude);
        }
    }
    if (mode == SelectionMode::Listed) {
        for (std::size_t value : values) {
            m_selected[value] = true;
        }
        return;
    }
    // Marking the multiples of each distinct divisor costs paragraphCount / divisor, so the
    // whole table costs at most paragraphCount times a harmonic sum.
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    for (std::size_t divisor : values) {
        if (m_selected[divisor]) {
            continue;  // a smaller divisor of it has marked all its multiples already
        }
        for (std::size_t multiple = divisor; multiple <= paragraphCount; multiple += divisor) {
            m_selected[multiple] = true;
        }
    }
}

}  // namespace velmor
