#pragma once

#include <cstdint>
#include <memory>

#include "core/Text.h"

namespace velmor {

// Runs a JScript regular expression over a document text read as one code point per
// character, and hands out the matches as GBK slices of that text. A copy shares the
// compiled pattern and the matches of the original and holds its own copy of the last text.
// Nothing here reports an error: a failed call gives false, 0 or the empty text.
class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject& other);
    RegexObject& operator=(const RegexObject& other);

    // Compiles pattern and finds its matches in text (every match when global, else the
    // first). With multiLine "^" and "$" also match at line breaks. False, with no matches,
    // when the pattern is not valid or matching exceeds the engine's complexity limit.
    bool Execute(const Text& pattern, const Text& text, bool caseSensitive = false,
                 bool multiLine = true, bool global = true);

    // The pattern of the last Execute; empty before the first.
    Text GetPattern() const;
    // The last text with each match replaced by the replacement, where $$, $&, $`, $' and
    // $1 to $99 stand for what they do in an ECMAScript replacement; empty without matches
    // of a successful Execute or when the result would pass 1 GiB.
    Text ReplaceMatches(const Text& replacement) const;
    int MatchCount() const;
    // The text of match index (1-based); empty outside 1..MatchCount().
    Text MatchText(int index) const;
    // The text of group groupIndex (1-based) of match matchIndex (1-based); empty when
    // either is out of range or the group did not take part in the match.
    Text SubMatchText(int matchIndex, int groupIndex) const;
    // The number of groups of the first match; 0 without matches.
    int SubMatchCount() const;

private:
    struct Engine;
    struct Span {
        std::uint32_t start;
        std::uint32_t end;
    };

    // The byte offset in the last text of a code point position of the decoded text.
    std::size_t ByteOffset(std::uint32_t position) const;
    // The bytes of a span of code points, as offsets into the last text.
    std::pair<std::size_t, std::size_t> ByteRange(Span span) const;
    Span Group(int matchIndex, int groupIndex) const;

    std::shared_ptr<const Engine> m_engine;
    Text m_lastText;
    // The last mapped position, so walking the matches in order maps each one in the time
    // of its own length.
    mutable std::uint32_t m_cursorPosition = 0;
    mutable std::size_t m_cursorByte = 0;
};

}  // namespace velmor
