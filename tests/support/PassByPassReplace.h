#pragma once

#include <string_view>
#include <vector>

#include "core/TextPrimitives.h"

namespace velmor::test {

// The replace loop as the regex command defines it: one TextReplace per match text, in order,
// each on the text the previous one left.
inline Text ReplaceOneByOne(const Text& text, const std::vector<std::string_view>& matchTexts,
                            const Text& replacement, bool caseSensitive) {
    Text working = text;
    for (std::string_view matchText : matchTexts) {
        working = TextReplace(working, Text(matchText), replacement, 1, -1, caseSensitive);
    }
    return working;
}

}  // namespace velmor::test
