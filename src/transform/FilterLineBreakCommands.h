#pragma once

#include <optional>

#include "core/DialogFields.h"
#include "core/ParallelPieces.h"
#include "core/ResultSizeLimit.h"

namespace velmor {

// The character classes of the filters under "筛选".
enum class CharacterFilter { Chinese, Letters, Digits, Symbols };

// The characters of the text that belong to the class, in order, nothing between them. The
// classes are tested on the Unicode character each code page 936 character decodes to.
Text FilterCharacters(const Text& text, CharacterFilter filter,
                      const PieceSplit& split = DefaultPieceSplit());
void RunFilterChinese(CommandContext& context);
void RunFilterLetters(CommandContext& context);
void RunFilterDigits(CommandContext& context);
void RunFilterSymbols(CommandContext& context);

// Every run of two or more CR LF pairs (taken at character starts) becomes one CR LF: the
// state repeated replacement of four by two bytes ends in.
Text CollapseLineBreakRuns(const Text& text);
void RunCollapseLineBreaks(CommandContext& context);

// The trailing CR LF pairs removed, then the text cut at every separator of `replaced` CR LF
// pairs and joined with `replacing` pairs; nullopt when the result would pass maxBytes.
std::optional<Text> ChangeLineBreakRuns(const Text& text, int replaced, int replacing,
                                        std::size_t maxBytes = kMaxResultBytes);
const DialogDefinition& LineBreakCountDialog();

// Every piece between separators (TextSplit's pieces) followed by CR LF; nullopt when the
// result would pass maxBytes.
std::optional<Text> SplitIntoParagraphs(const Text& text, const Text& separator,
                                        std::size_t maxBytes = kMaxResultBytes);
const DialogDefinition& SplitTextDialog();

}  // namespace velmor
