#pragma once

#include <cstddef>
#include <string_view>

#include "core/Text.h"

namespace velmor {

// A command whose result is a map of its text that may start afresh at known points: cut the
// text at such points, map every piece alone as a whole text, and the results put together are
// the result of the whole. The command applies the map to the whole document; the batch runner
// may instead stream a document through it a piece at a time, never holding it whole.
struct PieceMap {
    // The longest start of text after which the map may start afresh; text begins at such a
    // point. At most a few bytes are left over, whatever the text.
    std::size_t (*restart)(std::string_view text);
    // The most bytes the map of count bytes gives.
    std::size_t (*bound)(std::size_t count);
    // Writes the map of text, taken as a whole text, at out (room for bound(text.size()) bytes
    // apart from text, or text's own bytes for a map that keeps the length) and returns how
    // many bytes it wrote.
    std::size_t (*write)(std::string_view text, char* out);
    // The map of a whole text within the text's own buffer, on every core: the command's form.
    void (*rewrite)(Text& text);
    // The map may also start afresh after any byte below 0x30: such a byte ends a character in
    // the character walk (one of its own, or a trail), and the conversions to and from UTF-8
    // never read it as part of a longer character.
    bool restartsAfterLowByte = false;
    // What the map makes of the GBK form of UTF-8 input, whose result is written as UTF-8.
    enum class Utf8Result {
        // Nothing known: the result may hold bytes that start no character.
        Unknown,
        // The form of well-formed UTF-8 gives the form of well-formed UTF-8.
        WellFormed,
        // The same for input without the euro sign, the one character whose code is a single
        // byte of 0x80 or above: elsewhere the character walk meets whole characters only.
        WellFormedWithoutEuroSign,
        // Every byte of a result is below 0x80.
        Ascii,
    };
    Utf8Result utf8Result = Utf8Result::Unknown;
};

// The restart of a map that walks characters as the text primitives do (a byte of 0x80 or
// above takes the next byte along): after the last byte below 0x80, which always ends a
// character, the remaining high bytes pair up.
std::size_t CharacterWalkRestart(std::string_view text);

}  // namespace velmor
