#pragma once

#include <optional>
#include <string_view>

#include "core/ParallelPieces.h"
#include "core/Text.h"

namespace velmor {

// Text primitives over GBK texts. Positions are 1-based byte positions; searching and
// rewriting walk the text character by character (a byte >= 0x80 takes the next byte along),
// counting and cutting work on bytes. None of them fails: out-of-range arguments give the
// empty or unchanged results documented here.

int TextLen(const Text& text);
Text TextConcat(std::initializer_list<Text> parts);

// First / last min(n, length) bytes; n <= 0 gives the empty text.
Text TextLeft(const Text& text, int n);
Text TextRight(const Text& text, int n);
// Up to n bytes from start; empty when start < 1, start > length or n <= 0.
Text TextMid(const Text& text, int start, int n);
// n ASCII spaces; n < 1 gives the empty text.
Text TextSpaces(int n);
// The one-byte text of code (its low 8 bits); code 0 gives the empty text.
Text TextChar(int code);
// The byte at position as a signed value -128..127; 0 outside 1..length.
int TextCodeAt(const Text& text, int position = 1);

// First occurrence of what at or after start (below 1 counts as 1), or -1. An empty what
// gives 1 when the range is not empty, else -1. ignoreCase folds ASCII letters byte by byte.
int TextFind(const Text& text, const Text& what, int start = 1, bool ignoreCase = false);
// Last occurrence lying wholly before start (the whole text when start is omitted), or -1.
int TextFindLast(const Text& text, const Text& what, std::optional<int> start = std::nullopt,
                 bool ignoreCase = false);
// Replaces up to count (negative: all) non-overlapping occurrences from start on. Without
// caseSensitive, ASCII letters are folded byte by byte.
Text TextReplace(const Text& text, const Text& find, const Text& replacement = Text(),
                 int start = 1, int count = -1, bool caseSensitive = false);
// Members between separators; no empty last member; at most maxCount members.
TextList TextSplit(const Text& text, const Text& separator = ",",
                   std::optional<int> maxCount = std::nullopt);
// The split behind TextSplit and BytesSplit: separators count only at character starts when
// characterWalk is set, anywhere otherwise.
std::vector<std::string> SplitAtSeparator(const std::string& text, const std::string& separator,
                                          std::optional<int> maxCount, bool characterWalk);
// The same split as views into text, which must outlive them.
std::vector<std::string_view> SplitViewsAtSeparator(std::string_view text,
                                                    std::string_view separator,
                                                    std::optional<int> maxCount,
                                                    bool characterWalk);
// Negative, 0 or positive; the case-insensitive mode folds one-byte ASCII letters only.
int TextCompare(const Text& a, const Text& b, bool caseSensitive);

Text TextUpper(const Text& text);
Text TextLower(const Text& text);
Text TextFullWidth(const Text& text);
Text TextHalfWidth(const Text& text);
// The same conversions in place, for callers that own the text: the bytes come out as the
// functions above give them. The half-width text is never longer, so it is written behind
// the reading. A large text is cut at line feeds and its pieces converted on every core.
void UpperInPlace(Text& text, const PieceSplit& split = DefaultPieceSplit());
void LowerInPlace(Text& text, const PieceSplit& split = DefaultPieceSplit());
void HalfWidthInPlace(Text& text, const PieceSplit& split = DefaultPieceSplit());
// TextHalfWidth written at out, which is text's own bytes or has room for text.size(); returns
// its length.
std::size_t WriteHalfWidth(std::string_view text, char* out,
                           const PieceSplit& split = DefaultPieceSplit());
// TextUpper and TextLower written at out (text.size() bytes, out text's own bytes or none of
// them), in one pass on every core: a new result costs no copy of the text first.
void WriteUpper(std::string_view text, char* out, const PieceSplit& split = DefaultPieceSplit());
void WriteLower(std::string_view text, char* out, const PieceSplit& split = DefaultPieceSplit());
// The byte length of TextFullWidth(text), counted without building it.
std::size_t FullWidthLength(std::string_view text);
// TextFullWidth written at out, which has room for FullWidthLength(text) bytes; returns the end.
char* WriteFullWidth(std::string_view text, char* out);
// TextFullWidth sized first and built on every core, or nullopt (nothing allocated) when it
// would be longer than maxBytes.
std::optional<Text> FullWidthWithin(std::string_view text, std::size_t maxBytes,
                                    const PieceSplit& split = DefaultPieceSplit());
// Spaces are 0x20 and the full-width pair A1 A1. All four drop a trailing lone lead byte.
Text TextTrimLeft(const Text& text);
Text TextTrimRight(const Text& text);
Text TextTrim(const Text& text);
Text TextStripSpaces(const Text& text);
// The trims as views into text, for callers that rebuild a large text from pieces.
std::string_view TrimLeftView(std::string_view text);
std::string_view TrimRightView(std::string_view text);
std::string_view TrimView(std::string_view text);
// Writes text without its spaces at out, which has room for text.size() bytes; returns the end.
char* WriteWithoutSpaces(std::string_view text, char* out);

}  // namespace velmor
