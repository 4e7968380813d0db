#pragma once

#include <string>
#include <vector>

namespace velmor {

// A document text: GBK (code page 936) bytes without a zero byte. A byte of 0x80 or above
// starts a double-byte character that takes the next byte along.
using Text = std::string;

// Any bytes, zero bytes included.
using ByteString = std::string;

using TextList = std::vector<Text>;

}  // namespace velmor
