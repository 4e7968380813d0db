#include "core/TextPrimitives.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "core/ByteBlocks.h"
#include "core/LargeText.h"

namespace velmor {

namespace {

constexpr std::size_t npos = std::string_view::npos;

inline bool IsLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

inline bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

bool EqualFolded(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::size_t FindByte(std::string_view hay, char c, std::size_t from) {
    if (from >= hay.size()) {
        return npos;
    }
    const void* hit = std::memchr(hay.data() + from, c, hay.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - hay.data()) : npos;
}

// Byte offsets where the needle occurs, in increasing order, ignoring the character walk.
// The next-occurrence cursors for both cases of a letter are kept between calls so that a
// rare case is not searched for again and again.
class OccurrenceFinder {
public:
    OccurrenceFinder(std::string_view hay, std::string_view needle, bool ignoreCase)
        : m_hay(hay), m_needle(needle) {
        m_folded = ignoreCase && std::any_of(needle.begin(), needle.end(), IsAsciiLetter);
        if (m_folded) {
            m_lower = FoldAscii(needle[0]);
            m_upper = IsAsciiLetter(m_lower) ? static_cast<char>(m_lower - 0x20) : m_lower;
        }
    }

    // The first occurrence at or after from that ends inside the text; from never decreases.
    std::size_t Next(std::size_t from) {
        const std::size_t m = m_needle.size();
        if (m > m_hay.size()) {
            return npos;
        }
        const std::size_t last = m_hay.size() - m;
        if (!m_folded) {
            if (from > last) {
                return npos;
            }
            const void* hit = memmem(m_hay.data() + from, m_hay.size() - from, m_needle.data(), m);
            return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_hay.data())
                       : npos;
        }
        while (true) {
            if (m_lowerAt != npos && (m_lowerAt < from || !m_started)) {
                m_lowerAt = FindByte(m_hay, m_lower, from);
            }
            if (m_upper != m_lower && m_upperAt != npos && (m_upperAt < from || !m_started)) {
                m_upperAt = FindByte(m_hay, m_upper, from);
            }
            m_started = true;
            const std::size_t candidate =
                m_upper != m_lower ? std::min(m_lowerAt, m_upperAt) : m_lowerAt;
            if (candidate == npos || candidate > last) {
                return npos;
            }
            if (EqualFolded(m_hay.data() + candidate + 1, m_needle.data() + 1, m - 1)) {
                return candidate;
            }
            from = candidate + 1;
        }
    }

private:
    std::string_view m_hay;
    std::string_view m_needle;
    bool m_folded = false;
    char m_lower = 0;
    char m_upper = 0;
    bool m_started = false;
    std::size_t m_lowerAt = 0;
    std::size_t m_upperAt = 0;
};

// Answers whether an offset is a character start of the walk begun at a known start. After
// a byte below 0x80 (a one-byte character or a trail byte) a character always starts, and a
// run of bytes of 0x80 or above pairs up from there, so only that run needs looking at.
class CharacterStarts {
public:
    explicit CharacterStarts(std::size_t start) : m_known(start) {}

    // offset must not lie before the last offset asked about or reset to.
    bool IsStart(std::string_view text, std::size_t offset) {
        std::size_t anchor = offset;
        // Chinese text has long runs of such bytes: sixteen at a time, then byte by byte.
        while (anchor - m_known >= 16) {
            const std::size_t run = HighRunBefore16(text.data() + anchor);
            anchor -= run;
            if (run < 16) {
                break;
            }
        }
        while (anchor > m_known && IsLeadByte(text[anchor - 1])) {
            --anchor;
        }
        const bool start = (offset - anchor) % 2 == 0;
        m_known = start ? offset : offset + 1;
        return start;
    }

    void Reset(std::size_t start) { m_known = start; }

private:
    std::size_t m_known;
};

// The first character start at or after from where what occurs, or npos.
std::size_t FindFrom(std::string_view text, std::string_view what, std::size_t from,
                     bool ignoreCase) {
    OccurrenceFinder finder(text, what, ignoreCase);
    CharacterStarts starts(from);
    std::size_t candidate;
    while ((candidate = finder.Next(from)) != npos) {
        if (starts.IsStart(text, candidate)) {
            return candidate;
        }
        from = candidate + 1;
    }
    return npos;
}

inline bool IsSpaceAt(std::string_view text, std::size_t i, std::size_t length) {
    if (text[i] == ' ') {
        return true;
    }
    return length == 2 && text[i] == '\xA1' && text[i + 1] == '\xA1';
}

// Byte length of the character of the walk starting at i: 0 for a lead byte that is the
// last byte, which the rewriting primitives drop.
inline std::size_t WalkLength(std::string_view text, std::size_t i) {
    if (!IsLeadByte(text[i])) {
        return 1;
    }
    return i + 1 < text.size() ? 2 : 0;
}

}  // namespace

int TextLen(const Text& text) {
    return static_cast<int>(text.size());
}

Text TextConcat(std::initializer_list<Text> parts) {
    std::size_t total = 0;
    for (const Text& part : parts) {
        total += part.size();
    }
    Text result;
    ReserveLargeText(result, total);
    for (const Text& part : parts) {
        result += part;
    }
    return result;
}

Text TextLeft(const Text& text, int n) {
    if (n <= 0) {
        return Text();
    }
    return text.substr(0, static_cast<std::size_t>(n));
}

Text TextRight(const Text& text, int n) {
    if (n <= 0) {
        return Text();
    }
    const std::size_t take = std::min(text.size(), static_cast<std::size_t>(n));
    return text.substr(text.size() - take);
}

Text TextMid(const Text& text, int start, int n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) {
        return Text();
    }
    return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

Text TextSpaces(int n) {
    return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' ');
}

Text TextChar(int code) {
    const char byte = static_cast<char>(code & 0xFF);
    return byte == 0 ? Text() : Text(1, byte);
}

int TextCodeAt(const Text& text, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) {
        return 0;
    }
    return static_cast<signed char>(text[static_cast<std::size_t>(position) - 1]);
}

int TextFind(const Text& text, const Text& what, int start, bool ignoreCase) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) {
        return -1;
    }
    if (what.empty()) {
        return 1;
    }
    const std::size_t found = FindFrom(text, what, from, ignoreCase);
    return found == npos ? -1 : static_cast<int>(found) + 1;
}

int TextFindLast(const Text& text, const Text& what, std::optional<int> start, bool ignoreCase) {
    std::size_t range = text.size();
    if (start) {
        range = *start <= 1 ? 0 : std::min(text.size(), static_cast<std::size_t>(*start) - 1);
    }
    if (range == 0) {
        return -1;
    }
    if (what.empty()) {
        return 1;
    }
    // The walk is defined from the first byte, so scan forward and keep the last match.
    const std::string_view scanned(text.data(), range);
    OccurrenceFinder finder(scanned, what, ignoreCase);
    CharacterStarts starts(0);
    std::size_t last = npos;
    std::size_t from = 0;
    std::size_t candidate;
    while ((candidate = finder.Next(from)) != npos) {
        if (starts.IsStart(scanned, candidate)) {
            last = candidate;
        }
        from = candidate + 1;
    }
    return last == npos ? -1 : static_cast<int>(last) + 1;
}

Text TextReplace(const Text& text, const Text& find, const Text& replacement, int start, int count,
                 bool caseSensitive) {
    if (text.empty() || find.empty() || count == 0 ||
        (start > 0 && static_cast<std::size_t>(start) > text.size())) {
        return text;
    }
    const std::size_t first = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    Text result;
    if (replacement.size() > find.size()) {
        ReserveLargeText(result, text.size() + text.size() / 4, text.size());
    } else {
        ReserveLargeText(result, text.size(), 0);
    }
    result.append(text, 0, first);

    OccurrenceFinder finder(text, find, !caseSensitive);
    CharacterStarts starts(first);
    std::size_t copied = first;
    std::size_t from = first;
    int replaced = 0;
    bool countReached = false;
    std::size_t candidate;
    while ((candidate = finder.Next(from)) != npos) {
        if (!starts.IsStart(text, candidate)) {
            from = candidate + 1;
            continue;
        }
        result.append(text, copied, candidate - copied);
        result += replacement;
        copied = candidate + find.size();
        from = copied;
        starts.Reset(copied);
        if (count > 0 && ++replaced == count) {
            countReached = true;
            break;
        }
    }
    // With a one-byte find the walk runs to the very end, where a lone lead byte is copied as
    // a character of two bytes that are not there, and so is lost. A last byte equal to find
    // was either replaced or found to be a trail byte.
    std::size_t end = text.size();
    if (!countReached && find.size() == 1 && copied < end && IsLeadByte(text[end - 1]) &&
        text[end - 1] != find[0] && starts.IsStart(text, end - 1)) {
        --end;
    }
    result.append(text, copied, end - copied);
    return result;
}

std::vector<std::string_view> SplitViewsAtSeparator(std::string_view text,
                                                    std::string_view separator,
                                                    std::optional<int> maxCount,
                                                    bool characterWalk) {
    const std::size_t limit = maxCount ? static_cast<std::size_t>(std::max(0, *maxCount))
                                       : static_cast<std::size_t>(INT_MAX);
    std::vector<std::string_view> members;
    if (text.empty() || limit == 0) {
        return members;
    }
    if (separator.empty()) {
        members.push_back(text);
        return members;
    }
    OccurrenceFinder finder(text, separator, false);
    CharacterStarts starts(0);
    std::size_t begin = 0;
    std::size_t from = 0;
    std::size_t candidate;
    while (members.size() < limit && (candidate = finder.Next(from)) != npos) {
        if (characterWalk && !starts.IsStart(text, candidate)) {
            from = candidate + 1;
            continue;
        }
        members.push_back(text.substr(begin, candidate - begin));
        begin = candidate + separator.size();
        from = begin;
        starts.Reset(begin);
    }
    if (members.size() < limit && begin < text.size()) {
        members.push_back(text.substr(begin));
    }
    return members;
}

std::vector<std::string> SplitAtSeparator(const std::string& text, const std::string& separator,
                                          std::optional<int> maxCount, bool characterWalk) {
    const std::vector<std::string_view> views =
        SplitViewsAtSeparator(text, separator, maxCount, characterWalk);
    return std::vector<std::string>(views.begin(), views.end());
}

TextList TextSplit(const Text& text, const Text& separator, std::optional<int> maxCount) {
    return SplitAtSeparator(text, separator, maxCount, true);
}

int TextCompare(const Text& a, const Text& b, bool caseSensitive) {
    const std::size_t common = std::min(a.size(), b.size());
    bool trail = false;
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (!caseSensitive && !trail) {
            x = static_cast<unsigned char>(FoldAscii(static_cast<char>(x)));
            y = static_cast<unsigned char>(FoldAscii(static_cast<char>(y)));
        }
        if (x != y) {
            return x < y ? -1 : 1;
        }
        // Equal bytes keep both walks in step, so one flag serves both texts.
        trail = !trail && x >= 0x80;
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

std::string_view TrimLeftView(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = WalkLength(text, i);
        if (length == 0 || !IsSpaceAt(text, i, length)) {
            break;
        }
        i += length;
    }
    std::size_t end = text.size();
    if (end > i && CharacterStarts(i).IsStart(text, end - 1) && IsLeadByte(text[end - 1])) {
        --end;
    }
    return text.substr(i, end - i);
}

std::string_view TrimRightView(std::string_view text) {
    std::size_t runStart = npos;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = WalkLength(text, i);
        if (length == 0) {
            // A lone lead byte ends the text: it is dropped, and it broke any run of spaces.
            return text.substr(0, i);
        }
        if (IsSpaceAt(text, i, length)) {
            if (runStart == npos) {
                runStart = i;
            }
        } else {
            runStart = npos;
        }
        i += length;
    }
    return runStart == npos ? text : text.substr(0, runStart);
}

std::string_view TrimView(std::string_view text) {
    // Right first, so that spaces before a dropped trailing lead byte stay, as in TrimRight.
    return TrimLeftView(TrimRightView(text));
}

char* WriteWithoutSpaces(std::string_view text, char* out) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = WalkLength(text, i);
        if (length == 0) {
            break;
        }
        if (!IsSpaceAt(text, i, length)) {
            *out++ = text[i];
            if (length == 2) {
                *out++ = text[i + 1];
            }
        }
        i += length;
    }
    return out;
}

Text TextTrimLeft(const Text& text) {
    return Text(TrimLeftView(text));
}

Text TextTrimRight(const Text& text) {
    return Text(TrimRightView(text));
}

Text TextTrim(const Text& text) {
    return Text(TrimView(text));
}

Text TextStripSpaces(const Text& text) {
    Text result(text.size(), '\0');
    char* out = WriteWithoutSpaces(text, result.data());
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
}

}  // namespace velmor
