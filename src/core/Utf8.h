#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// Appends the UTF-8 form of one Unicode scalar value.
void AppendUtf8(std::string& out, char32_t codePoint);

// One item of UTF-8 that may hold stray bytes: a well-formed sequence (length 1 to 4 and its
// scalar value), or a single byte that starts none (length 1, wellFormed false, the byte as
// its value). p must be before end.
struct Utf8Item {
    char32_t codePoint;
    int length;
    bool wellFormed;
};
Utf8Item ReadUtf8Item(const unsigned char* p, const unsigned char* end);

// Decodes well-formed UTF-8 into code points; false (out unspecified) on any malformed,
// overlong, surrogate or out-of-range sequence.
bool DecodeUtf8(std::string_view utf8, std::vector<char32_t>& out);
// Whether DecodeUtf8 would accept the bytes, without decoding them.
bool IsWellFormedUtf8(std::string_view utf8);

}  // namespace velmor
