#pragma once

#include "core/DialogFields.h"

namespace velmor {

// Replaces every occurrence of find in the document by replacement in one write; refuses,
// with a message and nothing written, a result beyond the output limit.
void ReplaceAllInDocument(CommandContext& context, const Text& find, const Text& replacement,
                          bool caseSensitive);

// "替换": one search box, one replacement box, case check box, button "替换".
const DialogDefinition& BasicReplaceDialog();
// "替换_换行符" and "替换_TAB": text before and after a separator (CR LF or TAB), each side
// with a check box putting the separator in between.
const DialogDefinition& LineBreakReplaceDialog();
const DialogDefinition& TabReplaceDialog();

}  // namespace velmor
