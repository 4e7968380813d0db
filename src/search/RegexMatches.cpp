#include "search/RegexMatches.h"

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
    while (true) {
        try {
            if (!boost::regex_search(rest, end, found, *regex)) {
                break;
            }
        } catch (const std::exception&) {
            // The engine gave up on a pathological pattern: nothing more is found.
            break;
        }
        const char* matchEnd = found[0].second;
        matches.push_back({static_cast<std::size_t>(found[0].first - begin),
                           static_cast<std::size_t>(matchEnd - found[0].first)});
        if (matchEnd == rest) {
            break;
        }
        rest = matchEnd;
    }
    return matches;
}

}  // namespace velmor
