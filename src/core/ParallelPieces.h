#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace velmor {

// How a text is cut to run a per-character command on every core: into at most `pieces`
// pieces of at least minBytes each (the last may be shorter).
struct PieceSplit {
    std::size_t pieces = 1;
    std::size_t minBytes = 0;
};

// One piece per core, none under a few megabytes: a small text stays on the calling thread.
PieceSplit DefaultPieceSplit();

// The ends of the pieces of text, in order, the last text.size() (none for an empty text).
// Every piece but the last ends just after a line feed. A line feed is never a trail byte of
// a GBK or GB18030 character nor part of a UTF-8 sequence, so the byte after one always
// starts a character: each piece reads alone exactly as it reads within the whole text.
std::vector<std::size_t> LineFeedPieceEnds(std::string_view text, const PieceSplit& split);

// The same for a size cut at multiples of unit bytes (the groups of an encoder).
std::vector<std::size_t> UnitPieceEnds(std::size_t size, std::size_t unit, const PieceSplit& split);

// Runs work(i) for every i below count on up to one thread per core (the calling thread one of
// them), and returns when all are done; an exception of any is thrown again here.
void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& work);

// Runs work(begin, end) for every piece of ends (the first begins at 0) with RunInParallel.
void ForEachPieceInParallel(const std::vector<std::size_t>& ends,
                            const std::function<void(std::size_t, std::size_t)>& work);

}  // namespace velmor
