#pragma once

#include "core/CommandRegistry.h"

namespace velmor {

// "运行VBS" and "运行BAT": the document's bytes, exactly as they are, go to ls.vbs or ls.bat
// in a folder made for them that only this user may enter, which the desktop then opens with its
// associated program.
void RunAsVbs(CommandContext& context);
void RunAsBat(CommandContext& context);

}  // namespace velmor
