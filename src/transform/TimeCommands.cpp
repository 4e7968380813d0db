#include <functional>

#include "core/CodePage936.h"
#include "core/DateTime.h"
#include "core/LargeText.h"
#include "core/Numbers.h"
#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "search/RegexMatches.h"
#include "transform/PositionTimeCommands.h"

namespace velmor {

namespace {

constexpr const char* kSecondsPattern = "[0-9]*秒";

const Text& Unit(const char* utf8, Text& cache) {
    if (cache.empty()) {
        cache = Utf8ToGbk(utf8);
    }
    return cache;
}

const Text& Hour() {
    static Text cache;
    return Unit("时", cache);
}
const Text& Minute() {
    static Text cache;
    return Unit("分", cache);
}
const Text& Second() {
    static Text cache;
    return Unit("秒", cache);
}

// Each match of pattern converted in its own place; nullopt when the result would pass
// maxBytes.
std::optional<Text> ConvertMatches(const Text& text, const char* utf8Pattern,
                                   const std::function<Text(const Text&)>& convert,
                                   std::size_t maxBytes) {
    const std::vector<RegexMatch> matches = FindAllMatches(text, Utf8ToGbk(utf8Pattern), true);
    std::vector<Text> converted;
    converted.reserve(matches.size());
    std::size_t size = text.size();
    for (const RegexMatch& match : matches) {
        converted.push_back(convert(text.substr(match.position, match.length)));
        size = size - match.length + converted.back().size();
        if (size > maxBytes) {
            return std::nullopt;
        }
    }
    Text result;
    ReserveLargeText(result, size);
    std::size_t copied = 0;
    for (std::size_t k = 0; k < matches.size(); ++k) {
        result.append(text, copied, matches[k].position - copied);
        result += converted[k];
        copied = matches[k].position + matches[k].length;
    }
    result.append(text, copied, Text::npos);
    return result;
}

Text DurationToSeconds(const Text& match) {
    Text colons = TextReplace(match, Hour(), ":", 1, -1, true);
    colons = TextReplace(colons, Minute(), ":", 1, -1, true);
    colons = TextReplace(colons, Second(), "", 1, -1, true);
    const TextList pieces = TextSplit(colons, ":");
    if (pieces.size() != 3) {
        return match;
    }
    const int seconds = ToInt(pieces[0]) * 3600 + ToInt(pieces[1]) * 60 + ToInt(pieces[2]);
    return ToText(seconds) + Second();
}

Text SecondsToDuration(const Text& match) {
    const Text digits = match.substr(0, match.size() - Second().size());
    if (digits.empty()) {
        return match;
    }
    const int n = ToInt(digits);
    const int hours = static_cast<int>(IntDiv(n, 3600));
    const int withinHour = static_cast<int>(Remainder(n, 3600));
    return ToText(hours) + Hour() + ToText(static_cast<int>(IntDiv(withinHour, 60))) + Minute() +
           ToText(static_cast<int>(Remainder(withinHour, 60))) + Second();
}

}  // namespace

Text HoursMinutesSecondsToSeconds(const Text& text) {
    // A conversion never makes a duration longer, so the limit cannot be reached.
    return *ConvertMatches(text, "[0-9]{1,2}时[0-9]{1,2}分[0-9]{1,2}秒", DurationToSeconds,
                           Text().max_size());
}

std::optional<Text> SecondsToHoursMinutesSeconds(const Text& text, std::size_t maxBytes) {
    // The same matches as the lazy "[0-9]*?秒": no digit can stand where "秒" begins, so from
    // any start either run takes every digit up to the "秒". The engine scans the greedy run
    // once and goes on behind it; the lazy one it tries again from every digit, quadratic in
    // a long run of digits that ends in something else.
    return ConvertMatches(text, kSecondsPattern, SecondsToDuration, maxBytes);
}

void RunInsertTime(CommandContext& context) {
    if (context.services.clock == nullptr) {
        return;
    }
    context.editor.AppendText(DateTimeToText(Now(*context.services.clock), 1));
}

void RunHoursMinutesSecondsToSeconds(CommandContext& context) {
    context.editor.ReplaceText(HoursMinutesSecondsToSeconds(context.editor.LendText().Get()));
}

void RunSecondsToHoursMinutesSeconds(CommandContext& context) {
    WriteResultOrRefuse(context.editor,
                        SecondsToHoursMinutesSeconds(context.editor.LendText().Get(),
                                                     MaxResultBytes(context.services)));
}

}  // namespace velmor
