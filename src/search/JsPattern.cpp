#include "search/JsPattern.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace velmor {

namespace {

struct PatternError {};

constexpr std::uint64_t kCountLimit = 0x7FFFFFFF;

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsOctal(char32_t c) {
    return c >= '0' && c <= '7';
}

bool IsAsciiLetter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char32_t c) {
    if (IsDigit(c)) {
        return static_cast<int>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<int>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<int>(c - 'A' + 10);
    }
    return -1;
}

CodePointSet Of(std::initializer_list<std::pair<char32_t, char32_t>> ranges) {
    CodePointSet set;
    for (const auto& [first, last] : ranges) {
        set.Add(first, last);
    }
    return set;
}

const CodePointSet& DigitSet() {
    static const CodePointSet set = Of({{'0', '9'}});
    return set;
}

const CodePointSet& WordSet() {
    static const CodePointSet set = Of({{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}});
    return set;
}

const CodePointSet& SpaceSet() {
    static const CodePointSet set = Of({{0x09, 0x0D},
                                        {0x20, 0x20},
                                        {0xA0, 0xA0},
                                        {0x1680, 0x1680},
                                        {0x2000, 0x200A},
                                        {0x2028, 0x2029},
                                        {0x202F, 0x202F},
                                        {0x205F, 0x205F},
                                        {0x3000, 0x3000},
                                        {0xFEFF, 0xFEFF}});
    return set;
}

const CodePointSet& LineTerminators() {
    static const CodePointSet set = Of({{0x0A, 0x0A}, {0x0D, 0x0D}, {0x2028, 0x2029}});
    return set;
}

void AppendCodePoint(std::wstring& out, char32_t c) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"\\x{%x}", static_cast<unsigned>(c));
    out += buffer;
}

void AppendSet(std::wstring& out, const CodePointSet& set) {
    if (set.IsEmpty()) {
        out += L"[^\\x{0}-\\x{10ffff}]";
        return;
    }
    out += L'[';
    for (const auto& range : set.Ranges()) {
        AppendCodePoint(out, range.first);
        if (range.last != range.first) {
            out += L'-';
            AppendCodePoint(out, range.last);
        }
    }
    out += L']';
}

// The number of capturing groups: every "(" outside a class and not escaped that does not
// open a "(?" construct.
int CountGroups(std::wstring_view p) {
    int count = 0;
    bool inClass = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const wchar_t c = p[i];
        if (c == L'\\') {
            ++i;
        } else if (inClass) {
            inClass = c != L']';
        } else if (c == L'[') {
            inClass = true;
        } else if (c == L'(' && (i + 1 == p.size() || p[i + 1] != L'?')) {
            ++count;
        }
    }
    return count;
}

class Translator {
public:
    Translator(std::wstring_view pattern, bool ignoreCase, bool multiLine)
        : m_p(pattern), m_ignoreCase(ignoreCase), m_multiLine(multiLine) {}

    TranslatedPattern Run() {
        m_groupCount = CountGroups(m_p);
        ParseDisjunction();
        if (!AtEnd()) {
            throw PatternError{};  // an unmatched ")"
        }
        TranslatedPattern result;
        result.boostPattern = std::move(m_out);
        result.groupCount = m_groupCount;
        if (m_topTerms == 1 && !m_topAlternation) {
            result.singleCharacter = std::move(m_topSet);
        }
        return result;
    }

private:
    bool AtEnd() const { return m_pos >= m_p.size(); }
    char32_t Current() const { return static_cast<char32_t>(m_p[m_pos]); }
    char32_t At(std::size_t i) const { return i < m_p.size() ? static_cast<char32_t>(m_p[i]) : 0; }
    bool LooksAt(std::wstring_view text) const { return m_p.substr(m_pos, text.size()) == text; }

    void ParseDisjunction() {
        ParseAlternative();
        while (!AtEnd() && Current() == '|') {
            if (m_depth == 0) {
                m_topAlternation = true;
            }
            ++m_pos;
            m_out += L'|';
            ParseAlternative();
        }
    }

    void ParseAlternative() {
        while (!AtEnd() && Current() != '|' && Current() != ')') {
            ParseTerm();
        }
    }

    void ParseTerm() {
        if (m_depth == 0) {
            ++m_topTerms;
            m_topSet.reset();
        }
        const char32_t c = Current();
        if (c == '^' || c == '$') {
            ++m_pos;
            AppendLineAssertion(c == '^');
            RefuseQuantifier();
            return;
        }
        if (c == '\\' && (At(m_pos + 1) == 'b' || At(m_pos + 1) == 'B')) {
            m_pos += 2;
            AppendWordBoundary(At(m_pos - 1) == 'b');
            RefuseQuantifier();
            return;
        }
        if (c == '(') {
            ParseGroup();
            return;
        }
        if (c == '*' || c == '+' || c == '?' || (c == '{' && BracedQuantifierAt(m_pos))) {
            throw PatternError{};  // nothing to repeat
        }
        ++m_pos;
        if (c == '\\' && !AtEnd() && Current() >= '1' && Current() <= '9' && ParseBackReference()) {
            ParseQuantifier();
            return;
        }
        CodePointSet set;
        if (c == '[') {
            set = ParseClass();
        } else if (c == '.') {
            set = LineTerminators().Complement();
        } else if (c == '\\') {
            set = ParseEscape(false);
        } else {
            set = CharacterSet(c);
        }
        AppendSet(m_out, set);
        if (!ParseQuantifier() && m_depth == 0) {
            m_topSet = std::move(set);
        }
    }

    void ParseGroup() {
        ++m_pos;
        bool quantifiable = true;
        std::wstring close = L")";
        std::optional<std::size_t> group;
        if (LooksAt(L"?:")) {
            m_pos += 2;
            m_out += L"(?:";
        } else if (LooksAt(L"?=") || LooksAt(L"?!")) {
            m_out += L"(?:(?";
            m_out += m_p[m_pos + 1];
            m_pos += 2;
            close = L"))";
        } else if (LooksAt(L"?<=") || LooksAt(L"?<!")) {
            m_out += L"(?<";
            m_out += m_p[m_pos + 2];
            m_pos += 3;
            quantifiable = false;
        } else if (LooksAt(L"?")) {
            throw PatternError{};
        } else {
            m_out += L'(';
            group = m_closedGroups.size();
            m_closedGroups.push_back(false);
        }
        if (++m_depth > kMaxPatternNesting) {
            throw PatternError{};
        }
        ParseDisjunction();
        --m_depth;
        if (AtEnd()) {
            throw PatternError{};  // an unterminated group
        }
        ++m_pos;
        m_out += close;
        if (group) {
            m_closedGroups[*group] = true;
        }
        if (quantifiable) {
            ParseQuantifier();
        } else {
            RefuseQuantifier();
        }
    }

    // At the digits after "\": a reference to a group when their value names one.
    bool ParseBackReference() {
        std::size_t end = m_pos;
        std::uint64_t number = 0;
        while (end < m_p.size() && IsDigit(At(end))) {
            number = std::min<std::uint64_t>(number * 10 + (At(end) - '0'), kCountLimit);
            ++end;
        }
        if (number > static_cast<std::uint64_t>(m_groupCount)) {
            return false;
        }
        m_pos = end;
        // A group that is still open or opens later has no text yet: JScript then matches
        // the empty text.
        if (number > m_closedGroups.size() || !m_closedGroups[number - 1]) {
            return true;
        }
        const std::wstring group = std::to_wstring(number);
        // A group that has not matched matches the empty text.
        m_out += L"(?(" + group + L")";
        m_out += m_ignoreCase ? L"(?i:\\g{" + group + L"})" : L"\\g{" + group + L"}";
        m_out += L"|)";
        return true;
    }

    // After "\" outside a back-reference: a character or a class escape.
    CodePointSet ParseEscape(bool inClass) {
        if (AtEnd()) {
            throw PatternError{};  // "\" at the end
        }
        switch (Current()) {
            case 'd':
                ++m_pos;
                return DigitSet();
            case 'D':
                ++m_pos;
                return DigitSet().Complement();
            case 'w':
                ++m_pos;
                return WordSet();
            case 'W':
                ++m_pos;
                return WordSet().Complement();
            case 's':
                ++m_pos;
                return SpaceSet();
            case 'S':
                ++m_pos;
                return SpaceSet().Complement();
            default:
                return CharacterSet(ParseCharacterEscape(inClass));
        }
    }

    bool IsClassEscapeAt(std::size_t i) const {
        const char32_t c = At(i);
        return At(i - 1) == '\\' &&
               (c == 'd' || c == 'D' || c == 'w' || c == 'W' || c == 's' || c == 'S');
    }

    char32_t ParseCharacterEscape(bool inClass) {
        const char32_t c = Current();
        ++m_pos;
        switch (c) {
            case 'f':
                return 0x0C;
            case 'n':
                return 0x0A;
            case 'r':
                return 0x0D;
            case 't':
                return 0x09;
            case 'v':
                return 0x0B;
            case 'b':
                return inClass ? 0x08 : 'b';
            case 'c': {
                const char32_t letter = AtEnd() ? 0 : Current();
                if (IsAsciiLetter(letter) || (inClass && (IsDigit(letter) || letter == '_'))) {
                    ++m_pos;
                    return letter % 32;
                }
                // No control letter: the backslash stands for itself and "c" follows.
                --m_pos;
                return '\\';
            }
            case 'x':
                return ParseHex(2, c);
            case 'u':
                return ParseHex(4, c);
            default:
                break;
        }
        if (IsOctal(c)) {
            return ParseLegacyOctal(c);
        }
        return c;
    }

    char32_t ParseHex(int digits, char32_t letter) {
        char32_t value = 0;
        for (int i = 0; i < digits; ++i) {
            const int digit = HexValue(At(m_pos + i));
            if (digit < 0) {
                return letter;
            }
            value = value * 16 + static_cast<char32_t>(digit);
        }
        m_pos += digits;
        return value;
    }

    // "\0" alone is NUL; otherwise up to three octal digits that stay within 0377.
    char32_t ParseLegacyOctal(char32_t first) {
        char32_t value = first - '0';
        const int maxDigits = first <= '3' ? 3 : 2;
        for (int i = 1; i < maxDigits && !AtEnd() && IsOctal(Current()); ++i) {
            value = value * 8 + (Current() - '0');
            ++m_pos;
        }
        return value;
    }

    CodePointSet ParseClass() {
        bool negated = false;
        if (!AtEnd() && Current() == '^') {
            negated = true;
            ++m_pos;
        }
        CodePointSet set;
        for (;;) {
            if (AtEnd()) {
                throw PatternError{};  // an unterminated class
            }
            if (Current() == ']') {
                ++m_pos;
                break;
            }
            bool firstIsClass = false;
            const CodePointSet first = ParseClassAtom(firstIsClass);
            if (AtEnd() || Current() != '-' || At(m_pos + 1) == ']' || m_pos + 1 >= m_p.size()) {
                set.Add(first);
                continue;
            }
            ++m_pos;  // the "-"
            bool lastIsClass = false;
            const CodePointSet last = ParseClassAtom(lastIsClass);
            if (firstIsClass || lastIsClass) {
                // A class escape at either end makes the "-" a plain character.
                set.Add(first);
                set.Add('-');
                set.Add(last);
                continue;
            }
            const char32_t from = first.Ranges().front().first;
            const char32_t to = last.Ranges().front().first;
            if (from > to) {
                throw PatternError{};  // a range out of order
            }
            set.Add(from, to);
        }
        if (m_ignoreCase) {
            set = set.CaseClosure();
        }
        return negated ? set.Complement() : set;
    }

    CodePointSet ParseClassAtom(bool& isClass) {
        const char32_t c = Current();
        ++m_pos;
        if (c != '\\') {
            isClass = false;
            CodePointSet set;
            set.Add(c);
            return set;
        }
        isClass = !AtEnd() && IsClassEscapeAt(m_pos);
        if (AtEnd()) {
            throw PatternError{};
        }
        if (isClass) {
            return ParseEscape(true);
        }
        CodePointSet set;
        set.Add(ParseCharacterEscape(true));
        return set;
    }

    // The set one literal character matches.
    CodePointSet CharacterSet(char32_t c) const {
        CodePointSet set;
        set.Add(c);
        return m_ignoreCase ? set.CaseClosure() : set;
    }

    // Whether "{" at i opens {n}, {n,} or {n,m}.
    bool BracedQuantifierAt(std::size_t i) const {
        std::uint64_t min = 0;
        std::uint64_t max = 0;
        bool bounded = false;
        std::size_t end = 0;
        return ReadBraced(i, min, max, bounded, end);
    }

    bool ReadBraced(std::size_t i, std::uint64_t& min, std::uint64_t& max, bool& bounded,
                    std::size_t& end) const {
        if (At(i) != '{' || !IsDigit(At(i + 1))) {
            return false;
        }
        ++i;
        min = ReadNumber(i);
        bounded = true;
        max = min;
        if (At(i) == ',') {
            ++i;
            bounded = IsDigit(At(i));
            if (bounded) {
                max = ReadNumber(i);
            }
        }
        if (At(i) != '}') {
            return false;
        }
        end = i + 1;
        return true;
    }

    std::uint64_t ReadNumber(std::size_t& i) const {
        std::uint64_t value = 0;
        while (IsDigit(At(i))) {
            value = std::min<std::uint64_t>(value * 10 + (At(i) - '0'), kCountLimit);
            ++i;
        }
        return value;
    }

    // Reads and writes the quantifier after an atom, if there is one.
    bool ParseQuantifier() {
        if (AtEnd()) {
            return false;
        }
        const char32_t c = Current();
        if (c == '*' || c == '+' || c == '?') {
            m_out += static_cast<wchar_t>(c);
            ++m_pos;
        } else {
            std::uint64_t min = 0;
            std::uint64_t max = 0;
            bool bounded = false;
            std::size_t end = 0;
            if (!ReadBraced(m_pos, min, max, bounded, end)) {
                return false;
            }
            if (bounded && min > max) {
                throw PatternError{};  // numbers out of order
            }
            m_pos = end;
            m_out += L"{" + std::to_wstring(min);
            if (min != max || !bounded) {
                m_out += L",";
            }
            if (bounded && min != max) {
                m_out += std::to_wstring(max);
            }
            m_out += L"}";
        }
        if (!AtEnd() && Current() == '?') {
            m_out += L'?';
            ++m_pos;
        }
        RefuseQuantifier();
        return true;
    }

    void RefuseQuantifier() const {
        if (AtEnd()) {
            return;
        }
        const char32_t c = Current();
        if (c == '*' || c == '+' || c == '?' || (c == '{' && BracedQuantifierAt(m_pos))) {
            throw PatternError{};
        }
    }

    void AppendLineAssertion(bool lineStart) {
        std::wstring anything;
        AppendSet(anything,
                  m_multiLine ? LineTerminators().Complement() : CodePointSet().Complement());
        m_out += lineStart ? L"(?<!" : L"(?!";
        m_out += anything;
        m_out += L')';
    }

    void AppendWordBoundary(bool boundary) {
        std::wstring word;
        AppendSet(word, WordSet());
        if (boundary) {
            m_out += L"(?:(?<=" + word + L")(?!" + word + L")|(?<!" + word + L")(?=" + word + L"))";
        } else {
            m_out += L"(?:(?<=" + word + L")(?=" + word + L")|(?<!" + word + L")(?!" + word + L"))";
        }
    }

    std::wstring_view m_p;
    bool m_ignoreCase;
    bool m_multiLine;
    std::size_t m_pos = 0;
    int m_groupCount = 0;
    int m_depth = 0;
    std::vector<bool> m_closedGroups;
    std::wstring m_out;
    int m_topTerms = 0;
    bool m_topAlternation = false;
    std::optional<CodePointSet> m_topSet;
};

}  // namespace

std::optional<TranslatedPattern> TranslateJsPattern(std::wstring_view pattern, bool ignoreCase,
                                                    bool multiLine) {
    try {
        return Translator(pattern, ignoreCase, multiLine).Run();
    } catch (const PatternError&) {
        return std::nullopt;
    }
}

}  // namespace velmor
