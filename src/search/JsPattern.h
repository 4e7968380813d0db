#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "search/CodePointSet.h"

namespace velmor {

// A JScript regular expression rewritten for Boost.Regex's Perl syntax over code points, with
// the JScript meaning kept: \d \w \s \b and "." with their ECMAScript sets, "^" and "$" as
// lookarounds, case-insensitivity folded into the character sets, a back-reference to a group
// that has not matched matching the empty text, and the legacy escapes (\0 octal, \c, a lone
// "{" or "]") read as JScript reads them.
struct TranslatedPattern {
    std::wstring boostPattern;
    int groupCount = 0;
    // Set when the whole pattern is one character out of this set, with no quantifier.
    std::optional<CodePointSet> singleCharacter;
};

// Groups nested deeper than this are refused, so parsing never runs out of stack.
inline constexpr int kMaxPatternNesting = 500;

// Nothing when the pattern is not a valid JScript pattern.
std::optional<TranslatedPattern> TranslateJsPattern(std::wstring_view pattern, bool ignoreCase,
                                                    bool multiLine);

}  // namespace velmor
