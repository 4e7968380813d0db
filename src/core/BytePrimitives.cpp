#include "core/BytePrimitives.h"

#include "core/TextPrimitives.h"

#include <algorithm>

namespace velmor {

int BytesLen(const ByteString& bytes) {
    return static_cast<int>(bytes.size());
}

ByteString BytesLeft(const ByteString& bytes, int n) {
    if (n < 0) {
        return ByteString();
    }
    return bytes.substr(0, static_cast<std::size_t>(n));
}

ByteString BytesRight(const ByteString& bytes, int n) {
    if (n < 0) {
        return ByteString();
    }
    const std::size_t take = std::min(bytes.size(), static_cast<std::size_t>(n));
    return bytes.substr(bytes.size() - take);
}

ByteString BytesMid(const ByteString& bytes, int start, int n) {
    const std::size_t first = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (first >= bytes.size() || n <= 0) {
        return ByteString();
    }
    return bytes.substr(first, static_cast<std::size_t>(n));
}

ByteString ZeroBytes(int n) {
    return n <= 0 ? ByteString() : ByteString(static_cast<std::size_t>(n), '\0');
}

ByteStringList BytesSplit(const ByteString& bytes, const ByteString& separator,
                          std::optional<int> maxCount) {
    return SplitAtSeparator(bytes, separator, maxCount, false);
}

}  // namespace velmor
