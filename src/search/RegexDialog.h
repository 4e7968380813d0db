#pragma once

#include "core/DialogFields.h"

namespace velmor {

// `RegexDialogMode`: which command the shared dialog serves.
enum class RegexDialogMode { RegexReplace = 1, KeepPosition = 2 };

// Replaces the text of every match by replacement (one TextReplace per match, in order), or
// with extract puts the matched texts one per line in place of the document. A result beyond
// the output limit is refused with a message.
void RunRegexAction(CommandContext& context, const Text& pattern, const Text& replacement,
                    bool caseSensitive, bool extract);

// Sets the dialog up for mode as it is when opened (captions, the first radio button checked,
// what is enabled and shown); the texts of the two edit boxes stay as they are.
void ApplyRegexDialogMode(DialogFields& fields, RegexDialogMode mode);
RegexDialogMode RegexDialogModeOf(const DialogFields& fields);

// The shared dialog opened in each mode: "正则替换/提取" and "保留指定位置". Its button acts
// on the mode the dialog is set up for.
const DialogDefinition& RegexDialog(RegexDialogMode mode);

}  // namespace velmor
