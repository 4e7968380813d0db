#include <algorithm>
#include <climits>

#include "core/TextPrimitives.h"
#include "transform/PositionTimeCommands.h"

namespace velmor {

namespace {

int Clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

Text KeepSpecifiedPosition(const Text& text, int start, int length, bool extract) {
    if (extract) {
        return TextMid(text, start, length);
    }
    // Typed numbers may sit at the 32-bit limits, so the arithmetic is done wider.
    const long long n = TextLen(text);
    return TextLeft(text, Clamped(static_cast<long long>(start) - 1)) +
           TextRight(text, Clamped(n - start - length + 1));
}

}  // namespace velmor
