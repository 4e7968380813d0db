#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// Appends the UTF-8 form of one Unicode scalar value.
void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes well-formed UTF-8 into code points; false (out unspecified) on any malformed,
// overlong, surrogate or out-of-range sequence.
bool DecodeUtf8(std::string_view utf8, std::vector<char32_t>& out);
// Whether DecodeUtf8 would accept the bytes, without decoding them.
bool IsWellFormedUtf8(std::string_view utf8);

}  // namespace velmor
