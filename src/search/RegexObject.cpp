#include "search/RegexObject.h"

#include <boost/regex.hpp>

#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "core/CodePage936.h"
#include "core/ResultSizeLimit.h"
#include "search/CaseFolding.h"
#include "search/JsPattern.h"

namespace velmor::regex_detail {

// Case-insensitive comparison, used by back-references only (sets carry their case
// equivalents already), by the same canonical case as the sets.
struct CaseTraits : boost::regex_traits<wchar_t> {
    wchar_t translate_nocase(wchar_t c) const {
        return static_cast<wchar_t>(CanonicalCase(static_cast<char32_t>(c)));
    }
    wchar_t translate(wchar_t c, bool ignoreCase) const {
        return ignoreCase ? translate_nocase(c) : c;
    }
    wchar_t translate(wchar_t c) const { return c; }
};

}  // namespace velmor::regex_detail

namespace boost::BOOST_REGEX_DETAIL_NS {

// Boost lets one search visit about N * S^2 states (N the text length, S the pattern length)
// before it gives up: hours for a catastrophic pattern over a large document, as translated
// patterns are long. The budget here grows with N * S but stays bounded.
template <>
inline void perl_matcher<
    const wchar_t*, std::allocator<sub_match<const wchar_t*>>,
    velmor::regex_detail::CaseTraits>::estimate_max_state_count(std::random_access_iterator_tag*) {
    const std::ptrdiff_t length = last - base;
    const std::ptrdiff_t states =
        std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(re.size()), 1000);
    max_state_count = std::min<std::ptrdiff_t>((length + 1000) * (states + 64), 2'000'000'000);
}

}  // namespace boost::BOOST_REGEX_DETAIL_NS

namespace velmor {

namespace {

using regex_detail::CaseTraits;
using Regex = boost::basic_regex<wchar_t, CaseTraits>;

constexpr std::uint32_t kCheckpointStride = 64;
constexpr std::uint32_t kUnmatched = std::numeric_limits<std::uint32_t>::max();

// One element of a replacement: literal bytes, or a reference to the text around a match.
struct ReplacementPiece {
    enum class Kind { Literal, Match, Before, After, Group };
    Kind kind;
    std::size_t offset = 0;  // Literal: the bytes of the replacement text
    std::size_t length = 0;
    int group = 0;
};

// "$" can be neither a trail byte nor part of a four-byte code, so a byte scan finds every
// "$" character and the character after it.
std::vector<ReplacementPiece> ParseReplacement(const Text& replacement, int groupCount) {
    std::vector<ReplacementPiece> pieces;
    const auto literal = [&](std::size_t from, std::size_t to) {
        if (to > from) {
            pieces.push_back({ReplacementPiece::Kind::Literal, from, to - from, 0});
        }
    };
    const auto digit = [&](std::size_t i) {
        return i < replacement.size() && replacement[i] >= '0' && replacement[i] <= '9'
                   ? replacement[i] - '0'
                   : -1;
    };
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < replacement.size()) {
        if (replacement[i] != '$' || i + 1 == replacement.size()) {
            ++i;
            continue;
        }
        const char next = replacement[i + 1];
        ReplacementPiece piece{ReplacementPiece::Kind::Literal, i + 1, 1, 0};
        std::size_t used = 2;
        if (next == '&') {
            piece.kind = ReplacementPiece::Kind::Match;
        } else if (next == '`') {
            piece.kind = ReplacementPiece::Kind::Before;
        } else if (next == '\'') {
            piece.kind = ReplacementPiece::Kind::After;
        } else if (const int first = digit(i + 1); first >= 0) {
            const int second = digit(i + 2);
            if (second >= 0 && first * 10 + second >= 1 && first * 10 + second <= groupCount) {
                piece = {ReplacementPiece::Kind::Group, 0, 0, first * 10 + second};
                used = 3;
            } else if (first >= 1 && first <= groupCount) {
                piece = {ReplacementPiece::Kind::Group, 0, 0, first};
            } else {
                ++i;
                continue;
            }
        } else if (next != '$') {
            ++i;
            continue;
        }
        literal(start, i);
        pieces.push_back(piece);
        i += used;
        start = i;
    }
    literal(start, replacement.size());
    return pieces;
}

}  // namespace

struct RegexObject::Engine {
    Text pattern;
    bool matched = false;
    std::wstring codePoints;
    // The number of bytes of the last text each code point stands for.
    std::vector<std::uint8_t> byteLengths;
    // The byte offset of every kCheckpointStride-th code point.
    std::vector<std::uint32_t> checkpoints;
    // Byte offsets in the last text.
    std::vector<Span> matches;
    int groupCount = 0;
    // groupCount code point spans per match; a group that did not take part starts at
    // kUnmatched. They are mapped to bytes only when asked for.
    std::vector<Span> groups;

    void Search(const TranslatedPattern& translated, bool global);
    void ScanSingleCharacter(const CodePointSet& set, bool global);
    void KeepPositionsForGroups();
};

void RegexObject::Engine::Search(const TranslatedPattern& translated, bool global) {
    if (translated.singleCharacter) {
        ScanSingleCharacter(*translated.singleCharacter, global);
        return;
    }
    const Regex regex(translated.boostPattern, boost::regex::perl);
    groupCount = static_cast<int>(regex.mark_count());
    const wchar_t* const begin = codePoints.data();
    const wchar_t* const end = begin + codePoints.size();
    // Matches come in text order, so one forward walk maps them all to bytes.
    std::uint32_t walked = 0;
    std::uint32_t walkedBytes = 0;
    const auto bytesAt = [&](const wchar_t* p) {
        for (const auto to = static_cast<std::uint32_t>(p - begin); walked < to; ++walked) {
            walkedBytes += byteLengths[walked];
        }
        return walkedBytes;
    };
    boost::match_results<const wchar_t*> found;
    const wchar_t* position = begin;
    // Each search after a match starts where it ended, one further after an empty match.
    while (position <= end) {
        const auto flags = position == begin ? boost::match_default
                                             : boost::match_default | boost::match_prev_avail;
        if (!boost::regex_search(position, end, found, regex, flags, begin)) {
            break;
        }
        const std::uint32_t start = bytesAt(found[0].first);
        matches.push_back({start, bytesAt(found[0].second)});
        for (int g = 1; g <= groupCount; ++g) {
            const auto at = [&](const wchar_t* p) { return static_cast<std::uint32_t>(p - begin); };
            groups.push_back(found[g].matched ? Span{at(found[g].first), at(found[g].second)}
                                              : Span{kUnmatched, kUnmatched});
        }
        if (!global) {
            break;
        }
        position = found[0].second + (found[0].first == found[0].second ? 1 : 0);
    }
}

void RegexObject::Engine::ScanSingleCharacter(const CodePointSet& set, bool global) {
    const CodePointTable table(set);
    const std::size_t size = codePoints.size();
    const wchar_t* const units = codePoints.data();
    const std::uint8_t* const lengths = byteLengths.data();
    std::uint32_t byte = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint32_t next = byte + lengths[i];
        if (table.Contains(static_cast<char32_t>(units[i]))) {
            matches.push_back({byte, next});
            if (!global) {
                return;
            }
        }
        byte = next;
    }
}

void RegexObject::Engine::KeepPositionsForGroups() {
    if (groupCount == 0 || matches.empty()) {
        codePoints = {};
        byteLengths = {};
        return;
    }
    checkpoints.reserve(codePoints.size() / kCheckpointStride + 2);
    std::uint32_t byte = 0;
    for (std::size_t i = 0; i < byteLengths.size(); ++i) {
        if (i % kCheckpointStride == 0) {
            checkpoints.push_back(byte);
        }
        byte += byteLengths[i];
    }
    checkpoints.push_back(byte);
}

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;

RegexObject::RegexObject(const RegexObject& other)
    : m_engine(other.m_engine), m_lastText(other.m_lastText) {}

RegexObject& RegexObject::operator=(const RegexObject& other) {
    if (this != &other) {
        m_engine = other.m_engine;
        m_lastText = other.m_lastText;
        m_cursorPosition = 0;
        m_cursorByte = 0;
    }
    return *this;
}

bool RegexObject::Execute(const Text& pattern, const Text& text, bool caseSensitive, bool multiLine,
                          bool global) {
    auto engine = std::make_shared<Engine>();
    engine->pattern = pattern;
    m_engine = engine;
    m_lastText.clear();
    m_cursorPosition = 0;
    m_cursorByte = 0;
    // Positions are kept in 32 bits.
    if (text.size() >= kUnmatched) {
        return false;
    }
    const auto translated = TranslateJsPattern(GbkToCodePoints(pattern), !caseSensitive, multiLine);
    if (!translated) {
        return false;
    }
    try {
        engine->codePoints = GbkToCodePoints(text, &engine->byteLengths);
        engine->groupCount = translated->groupCount;
        engine->Search(*translated, global);
        engine->KeepPositionsForGroups();
    } catch (const std::exception&) {
        // A rejected pattern, or matching past the engine's complexity or memory limits.
        engine->matches.clear();
        engine->groups.clear();
        engine->codePoints = {};
        engine->byteLengths = {};
        return false;
    }
    engine->matched = true;
    m_lastText = text;
    return true;
}

Text RegexObject::GetPattern() const {
    return m_engine ? m_engine->pattern : Text();
}

int RegexObject::MatchCount() const {
    return m_engine ? static_cast<int>(std::min<std::size_t>(m_engine->matches.size(),
                                                             std::numeric_limits<int>::max()))
                    : 0;
}

int RegexObject::SubMatchCount() const {
    return MatchCount() > 0 ? m_engine->groupCount : 0;
}

std::size_t RegexObject::ByteOffset(std::uint32_t position) const {
    const Engine& engine = *m_engine;
    std::uint32_t at = m_cursorPosition;
    std::size_t byte = m_cursorByte;
    if (position < at || position - at >= kCheckpointStride) {
        at = position - position % kCheckpointStride;
        byte = engine.checkpoints[at / kCheckpointStride];
    }
    for (; at < position; ++at) {
        byte += engine.byteLengths[at];
    }
    m_cursorPosition = position;
    m_cursorByte = byte;
    return byte;
}

std::pair<std::size_t, std::size_t> RegexObject::ByteRange(Span span) const {
    const std::size_t start = ByteOffset(span.start);
    return {start, ByteOffset(span.end)};
}

Text RegexObject::MatchText(int index) const {
    if (index < 1 || index > MatchCount()) {
        return {};
    }
    const Span match = m_engine->matches[index - 1];
    return m_lastText.substr(match.start, match.end - match.start);
}

RegexObject::Span RegexObject::Group(int matchIndex, int groupIndex) const {
    if (matchIndex < 1 || matchIndex > MatchCount() || groupIndex < 1 ||
        groupIndex > m_engine->groupCount) {
        return {kUnmatched, kUnmatched};
    }
    const auto index = static_cast<std::size_t>(matchIndex - 1) * m_engine->groupCount +
                       static_cast<std::size_t>(groupIndex - 1);
    return m_engine->groups[index];
}

Text RegexObject::SubMatchText(int matchIndex, int groupIndex) const {
    const Span group = Group(matchIndex, groupIndex);
    if (group.start == kUnmatched) {
        return {};
    }
    const auto [start, end] = ByteRange(group);
    return m_lastText.substr(start, end - start);
}

Text RegexObject::ReplaceMatches(const Text& replacement) const {
    if (!m_engine || !m_engine->matched) {
        return {};
    }
    const auto pieces = ParseReplacement(replacement, m_engine->groupCount);
    const std::size_t count = m_engine->matches.size();
    // Runs over the result piece by piece: first to measure it, then to build it.
    const auto produce = [&](auto&& append) {
        std::size_t done = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t start = m_engine->matches[i].start;
            const std::size_t end = m_engine->matches[i].end;
            append(done, start - done);
            for (const ReplacementPiece& piece : pieces) {
                switch (piece.kind) {
                    case ReplacementPiece::Kind::Literal:
                        append(std::string_view(replacement).substr(piece.offset, piece.length));
                        break;
                    case ReplacementPiece::Kind::Match:
                        append(start, end - start);
                        break;
                    case ReplacementPiece::Kind::Before:
                        append(0, start);
                        break;
                    case ReplacementPiece::Kind::After:
                        append(end, m_lastText.size() - end);
                        break;
                    case ReplacementPiece::Kind::Group: {
                        const Span group = Group(static_cast<int>(i + 1), piece.group);
                        if (group.start != kUnmatched) {
                            const auto [from, to] = ByteRange(group);
                            append(from, to - from);
                        }
                        break;
                    }
                }
            }
            done = end;
        }
        append(done, m_lastText.size() - done);
    };
    std::size_t total = 0;
    bool tooLong = false;
    struct Measure {
        std::size_t& total;
        bool& tooLong;
        void operator()(std::size_t, std::size_t length) { Add(length); }
        void operator()(std::string_view bytes) { Add(bytes.size()); }
        void Add(std::size_t length) {
            total += length;
            tooLong = tooLong || total > kMaxResultBytes;
        }
    };
    produce(Measure{total, tooLong});
    if (tooLong) {
        return {};
    }
    Text result;
    result.reserve(total);
    struct Build {
        Text& result;
        const Text& text;
        void operator()(std::size_t offset, std::size_t length) {
            result.append(text, offset, length);
        }
        void operator()(std::string_view bytes) { result.append(bytes); }
    };
    produce(Build{result, m_lastText});
    return result;
}

}  // namespace velmor
