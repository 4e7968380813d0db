#include "search/RegexMatches.h"

#include <array>
#include <boost/regex.hpp>
#include <exception>
#include <optional>

namespace velmor {

namespace {

std::optional<boost::regex> Compile(const Text& pattern, bool caseSensitive) {
    boost::regex::flag_type flags = boost::regex::perl;
    if (!caseSensitive) {
        flags |= boost::regex::icase;
    }
    try {
        return boost::regex(pattern, flags);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Whether a match of the pattern may depend on the bytes before it (line and text starts and
// ends, word boundaries, look-behind), directly or through a negation: then a byte tried on
// its own as a whole text does not tell whether a match can begin with it. Any "^", "$" or
// "(?<" counts, also inside a class, so the answer errs on the side of yes.
bool MayDependOnBytesBefore(const Text& pattern) {
    if (pattern.find_first_of("^$") != Text::npos || pattern.find("(?<") != Text::npos) {
        return true;
    }
    for (std::size_t i = pattern.find('\\'); i != Text::npos && i + 1 < pattern.size();
         i = pattern.find('\\', i + 2)) {
        if (Text("bB<>A`G").find(pattern[i + 1]) != Text::npos) {
            return true;
        }
    }
    return false;
}

// The bytes a match can begin with, found by trying each byte on its own as a possible
// beginning of a text. Only for patterns that cannot match the empty text and do not depend
// on the bytes before a match: then a match can begin only at such a byte.
std::optional<std::array<bool, 256>> FirstBytes(const boost::regex& regex, const Text& pattern) {
    if (MayDependOnBytesBefore(pattern)) {
        return std::nullopt;
    }
    const char* const none = "";
    boost::cmatch found;
    if (boost::regex_search(none, none, found, regex)) {
        return std::nullopt;
    }
    std::array<bool, 256> first{};
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        first[static_cast<std::size_t>(b)] = boost::regex_search(
            &c, &c + 1, found, regex, boost::match_continuous | boost::match_partial);
    }
    return first;
}

// The leftmost match in [rest, end), rest counting as the start of a text.
bool SearchRest(const char* rest, const char* end, const boost::regex& regex,
                const std::optional<std::array<bool, 256>>& firstBytes, boost::cmatch& found) {
    const char* from = rest;
    if (firstBytes) {
        // The engine's own scan tries a match at every byte for some patterns ("[0-9]+");
        // none begins before the first byte one can begin with.
        while (from != end && !(*firstBytes)[static_cast<unsigned char>(*from)]) {
            ++from;
        }
        if (from == end) {
            return false;
        }
    }
    // One search of the engine from there on, with rest as the start of the text it sees, so
    // it goes on behind a failed start as the engine does (linear where the engine is).
    return boost::regex_search(from, end, found, regex, boost::match_default, rest);
}

}  // namespace

std::vector<RegexMatch> FindAllMatches(const Text& text, const Text& pattern, bool caseSensitive) {
    std::vector<RegexMatch> matches;
    const std::optional<boost::regex> regex = Compile(pattern, caseSensitive);
    if (!regex) {
        return matches;
    }
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* rest = begin;
    boost::cmatch found;
    try {
        const std::optional<std::array<bool, 256>> firstBytes = FirstBytes(*regex, pattern);
        while (SearchRest(rest, end, *regex, firstBytes, found)) {
            const char* matchEnd = found[0].second;
            matches.push_back({static_cast<std::size_t>(found[0].first - begin),
                               static_cast<std::size_t>(matchEnd - found[0].first)});
            if (matchEnd == rest) {
                break;
            }
            rest = matchEnd;
        }
    } catch (const std::exception&) {
        // The engine gave up on a pathological pattern: nothing more is found.
    }
    return matches;
}

}  // namespace velmor
