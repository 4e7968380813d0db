#include "core/BytePrimitives.h"

#include <algorithm>
#include <climits>
#include <cstring>

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
    const std::size_t limit = maxCount ? static_cast<std::size_t>(std::max(0, *maxCount))
                                       : static_cast<std::size_t>(INT_MAX);
    ByteStringList pieces;
    if (bytes.empty() || limit == 0) {
        return pieces;
    }
    if (separator.empty()) {
        pieces.push_back(bytes);
        return pieces;
    }
    std::size_t begin = 0;
    while (pieces.size() < limit && begin < bytes.size()) {
        const void* hit =
            memmem(bytes.data() + begin, bytes.size() - begin, separator.data(), separator.size());
        if (!hit) {
            break;
        }
        const std::size_t at =
            static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
        pieces.emplace_back(bytes, begin, at - begin);
        begin = at + separator.size();
    }
    if (pieces.size() < limit && begin < bytes.size()) {
        pieces.emplace_back(bytes, begin);
    }
    return pieces;
}

}  // namespace velmor
