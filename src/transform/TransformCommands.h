#pragma once

#include "core/CommandRegistry.h"

namespace velmor {

// The direct commands under "转换": each reads the whole document, converts it and writes the
// result back.
void RunToUpper(CommandContext& context);
void RunToLower(CommandContext& context);
void RunToFullWidth(CommandContext& context);
void RunToHalfWidth(CommandContext& context);
// Leave the document untouched when the run has no Chinese converter.
void RunToSimplified(CommandContext& context);
void RunToTraditional(CommandContext& context);

}  // namespace velmor
