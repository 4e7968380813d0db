#pragma once

#include "core/Text.h"

namespace velmor {

// The text a file opened by Open or a recent-file item loads as: its bytes up to, not
// including, the first 0x00 or 0x1A that is not the trail byte of a double-byte character.
// A lead byte (0x80 or above) takes the next byte along, so a lead byte followed by 0x1A
// stays in the text as one pair; a lead byte followed by 0x00 is dropped with it.
// Cut in place: a file's bytes handed over by move become the text without a copy.
Text CutOpenedFileBytes(ByteString bytes);

// The text a file dropped on the window loads as: its bytes up to the first 0x00 only.
Text CutDroppedFileBytes(ByteString bytes);

}  // namespace velmor
