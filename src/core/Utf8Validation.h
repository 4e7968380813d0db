#pragma once

#include <string_view>

namespace velmor {

// The strict UTF-8 check (no overlong forms, no surrogates, nothing above U+10FFFF, nothing
// cut short) in each of its forms, so that tests and benchmarks can hold them side by side.
// IsWellFormedUtf8 (Utf8.h) picks the widest one the processor runs.
namespace utf8_validation {

// Block masks where the text is ASCII or plain two- and three-byte characters, item by item
// elsewhere: any x86-64 processor.
bool Blocks(std::string_view utf8);

// The lookup-table method: each byte's class is looked up from the high and low half of the
// byte before it and the high half of the byte itself, and the three lookups ANDed give an
// error bit per kind of fault; runs of ASCII go 64 bytes at a time. False when the processor
// lacks the instructions (see Has…).
bool HasSsse3();
bool Ssse3(std::string_view utf8);
bool HasAvx2();
bool Avx2(std::string_view utf8);

// With AVX-512BW and VBMI: ASCII a kilobyte at a time; blocks of 64 bytes without the leads
// whose next byte is narrowed (E0, ED, F0, F4) or that are never valid settled by byte masks,
// the others by the lookup method in one register.
bool HasAvx512();
bool Avx512(std::string_view utf8);

}  // namespace utf8_validation

}  // namespace velmor
