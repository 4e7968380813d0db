#pragma once

#include <cstddef>

#include "core/DialogFields.h"
#include "core/PieceMap.h"
#include "core/ResultSizeLimit.h"

namespace velmor {

// The dialog "编码解码": a codec, a direction and a repeat count applied to the whole document.
const DialogDefinition& CodecDialog();

// Shows the tab control and its page for RC4 and the escape conversion, and disables the
// direction for the escape conversion; touches nothing else.
void UpdateCodecFields(DialogFields& fields);

// The "确定" button: the chosen codec applied to the document the given number of times in
// a row (the escape conversion once), the result written back in every case. An encoding pass
// whose result would pass MaxResultBytes is not run: the last complete pass is written and an
// error shown.
void RunCodec(DialogFields& fields, CommandContext& context);

// The one encoding pass "确定" would run with these fields, as a map of the text (Base64 or
// hexadecimal, "加密", a count of 1), or nullptr for any other run. A pass whose result would
// pass the size limit is refused with a message instead.
const PieceMap* CodecPieceMap(const DialogFields& fields);

}  // namespace velmor
