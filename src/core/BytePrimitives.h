#pragma once

#include <optional>

#include "core/Text.h"

namespace velmor {

using ByteStringList = std::vector<ByteString>;

int BytesLen(const ByteString& bytes);
// First / last min(n, length) bytes; n < 0 gives the empty byte string.
ByteString BytesLeft(const ByteString& bytes, int n);
ByteString BytesRight(const ByteString& bytes, int n);
// n bytes from the 1-based start, clamped: start < 1 counts as 1, a start past the end gives
// the empty result, n < 0 counts as 0.
ByteString BytesMid(const ByteString& bytes, int start, int n);
// n zero bytes; n <= 0 gives the empty byte string.
ByteString ZeroBytes(int n);
// TextSplit's rules, matching byte by byte without a character walk.
ByteStringList BytesSplit(const ByteString& bytes, const ByteString& separator,
                          std::optional<int> maxCount = std::nullopt);

}  // namespace velmor
