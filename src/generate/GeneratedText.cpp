#include "generate/GeneratedText.h"

#include "core/ResultSizeLimit.h"

#include <algorithm>
#include <charconv>

namespace velmor {

void WriteGeneratedText(CommandContext& context, std::optional<Text> text) {
    WriteResultOrRefuse(context.editor, std::move(text), "生成的文本过大（超过1GB），请减少数量。");
}

Text IntegerText(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return Text(digits, result.ptr);
}

namespace {

// The sum of digit counts over lo..hi, both at least 0, by bands of equal digit count.
std::uint64_t DigitCountSum(std::uint64_t lo, std::uint64_t hi) {
    std::uint64_t sum = 0;
    std::uint64_t bandStart = 0;
    std::uint64_t bandEnd = 9;
    for (std::uint64_t digits = 1; bandStart <= hi; ++digits) {
        const std::uint64_t from = std::max(lo, bandStart);
        const std::uint64_t to = std::min(hi, bandEnd);
        if (from <= to) {
            sum += (to - from + 1) * digits;
        }
        if (bandEnd >= hi) {
            break;
        }
        bandStart = bandEnd + 1;
        bandEnd = bandEnd * 10 + 9;
    }
    return sum;
}

}  // namespace

std::uint64_t IntegerTextLengthSum(std::int64_t first, std::int64_t last) {
    if (last < first) {
        return 0;
    }
    std::uint64_t sum = 0;
    if (first < 0) {
        // -1..-k print as a sign and the digits of 1..k.
        const std::int64_t negativeEnd = std::min<std::int64_t>(last, -1);
        const auto from = static_cast<std::uint64_t>(-negativeEnd);
        const std::uint64_t to = 0 - static_cast<std::uint64_t>(first);
        sum += (to - from + 1) + DigitCountSum(from, to);
    }
    if (last >= 0) {
        sum += DigitCountSum(static_cast<std::uint64_t>(std::max<std::int64_t>(first, 0)),
                             static_cast<std::uint64_t>(last));
    }
    return sum;
}

}  // namespace velmor
