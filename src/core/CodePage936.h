#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ParallelPieces.h"
#include "core/Text.h"

namespace velmor {

// The bridge between document bytes (code page 936) and UTF-8, lossless in both directions:
//  - every code page 936 character maps to its Unicode character and back (0x80 is U+20AC);
//  - a character code page 936 cannot hold travels as its GB18030 four-byte sequence;
//  - a byte that does not start a valid character passes through as that very byte, so
//    Utf8ToGbk(GbkToUtf8(bytes)) == bytes for every byte string.
std::string GbkToUtf8(std::string_view gbk);
// GbkToUtf8 handed over in pieces of a few kilobytes, in order, for a caller that writes
// them out instead of keeping the whole.
void GbkToUtf8Pieces(std::string_view gbk, const std::function<void(std::string_view)>& piece);
// The same pieces converted on every core: the text is cut at line feeds into pieces of about
// split.minBytes, split.pieces of them converted at a time; they are handed over in order.
void GbkToUtf8PiecesInParallel(std::string_view gbk,
                               const std::function<void(std::string_view)>& piece,
                               const PieceSplit& split = DefaultPieceSplit());
// Well-formed UTF-8 sequences become GBK (or GB18030 four-byte) characters; every byte that
// is not part of a well-formed sequence is copied unchanged.
Text Utf8ToGbk(std::string_view utf8);
// Utf8ToGbk of a text that arrives in parts: appends to out what the bytes of utf8 give and
// returns how many were used. Unless last, up to three bytes at the end may be left, which
// belong in front of the next part; with last, all are used.
std::size_t Utf8ToGbkPart(std::string_view utf8, bool last, Text& out);
// Utf8ToGbkPart on every core, the part cut at line feeds.
std::size_t Utf8ToGbkPartInParallel(std::string_view utf8, bool last, Text& out,
                                    const PieceSplit& split = DefaultPieceSplit());

// The code page 936 bytes of one Unicode scalar value (two bytes, one byte or, for characters
// the code page cannot hold, the GB18030 four-byte sequence); empty for a surrogate or a value
// above U+10FFFF.
std::string EncodeCodePoint(char32_t codePoint);

// Writes EncodeCodePoint(codePoint) of a scalar value at out, which has room for four bytes,
// and returns the end of what it wrote.
char* PutCodePoint(char* out, char32_t codePoint);

// The character of the GB18030 four-byte code at p as GbkToUtf8 reads it, or 0 when the bytes
// from p (p < end) are no such code.
char32_t GbkFourByteCharacter(const unsigned char* p, const unsigned char* end);

// True when codePoint has a one- or two-byte code page 936 code.
bool IsInCodePage936(char32_t codePoint);

// Code points stand in for raw bytes from kRawByteBase + 0x00 to kRawByteBase + 0xFF: lone
// surrogates, which no character decodes to.
inline constexpr char32_t kRawByteBase = 0xDC00;

// One code point per character (wchar_t holds 32 bits here), reading the bytes as GbkToUtf8
// does; every byte GbkToUtf8 passes through raw becomes kRawByteBase + byte. byteLengths,
// when given, receives the number of bytes (1, 2 or 4) each code point stands for.
std::wstring GbkToCodePoints(std::string_view gbk,
                             std::vector<std::uint8_t>* byteLengths = nullptr);

// GbkToUtf8(gbk).size(), without building the string: what a buffer must hold to take it.
std::size_t Utf8SizeOfGbk(std::string_view gbk);

}  // namespace velmor
