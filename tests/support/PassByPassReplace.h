#pragma once

#include <optional>
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

// The same loop, or nothing as soon as the working text passes maxBytes.
inline std::optional<Text> ReplaceOneByOneWithin(const Text& text,
                                                 const std::vector<std::string_view>& matchTexts,
                                                 const Text& replacement, bool caseSensitive,
                                                 std::size_t maxBytes) {
    Text working = text;
    for (std::string_view matchText : matchTexts) {
        working = TextReplace(working, Text(matchText), replacement, 1, -1, caseSensitive);
        if (working.size() > maxBytes) {
            return std::nullopt;
        }
    }
    return working;
}

}  // namespace velmor::test
