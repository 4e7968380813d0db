#pragma once

#include "core/CommandRegistry.h"
#include "core/PieceMap.h"

namespace velmor {

// The direct commands under "转换": each reads the whole document, converts it and writes the
// result back.
void RunToUpper(CommandContext& context);
void RunToLower(CommandContext& context);
void RunToFullWidth(CommandContext& context);
void RunToHalfWidth(CommandContext& context);
// The maps behind 到大写, 到小写 and 到半角, which those commands apply to the whole text.
const PieceMap& UpperMap();
const PieceMap& LowerMap();
const PieceMap& HalfWidthMap();
// Leave the document untouched when the run has no Chinese converter.
void RunToSimplified(CommandContext& context);
void RunToTraditional(CommandContext& context);

}  // namespace velmor
