#include "generate/NumberedText.h"

#include <charconv>
#include <cstring>

#include "generate/GeneratedText.h"

namespace velmor {

namespace {

char* Put(char* out, const Text& text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace

std::optional<Text> BuildNumberedText(const NumberedTextRequest& request) {
    if (request.lines <= 0) {
        return Text();
    }
    const auto lines = static_cast<std::uint64_t>(request.lines);
    const std::int64_t first = request.start;
    const std::int64_t last = first + request.lines - 1;
    const std::uint64_t fixedPerLine = request.left.size() + request.right.size() + 2;
    if (fixedPerLine > kGeneratedTextLimit) {
        return std::nullopt;
    }
    const std::uint64_t size =
        lines * fixedPerLine + (request.numbered ? IntegerTextLengthSum(first, last) : 0);
    if (size > kGeneratedTextLimit) {
        return std::nullopt;
    }

    Text text(static_cast<std::size_t>(size), '\0');
    char* out = text.data();
    char* const end = out + text.size();
    if (request.numbered) {
        // The numbers stay far below 2^53, where the floating-point number of each line and
        // its integer print the same.
        for (std::int64_t number = first; number <= last; ++number) {
            out = Put(out, request.left);
            out = std::to_chars(out, end, number).ptr;
            out = Put(out, request.right);
            *out++ = '\r';
            *out++ = '\n';
        }
    } else {
        const Text line = request.left + request.right + "\r\n";
        for (std::uint64_t i = 0; i < lines; ++i) {
            out = Put(out, line);
        }
    }
    return text;
}

}  // namespace velmor
