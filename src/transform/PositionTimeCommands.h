#pragma once

#include <optional>

#include "core/CommandRegistry.h"

namespace velmor {

// Keep specified position: with extract, the length bytes from the 1-based byte position
// start (TextMid); otherwise the text with that range cut out (TextLeft + TextRight). Numbers
// out of range give the edge results of those primitives.
Text KeepSpecifiedPosition(const Text& text, int start, int length, bool extract);

// Each duration "1时2分3秒" (one or two ASCII digits per unit) becomes its seconds, "3723秒",
// in its own place.
Text HoursMinutesSecondsToSeconds(const Text& text);
// Each run of ASCII digits directly before "秒" becomes hours, minutes and seconds, in its own
// place; a "秒" without digits stays as it is, digits past the 32-bit range read as the
// largest value. Nullopt when the result would exceed maxBytes.
std::optional<Text> SecondsToHoursMinutesSeconds(const Text& text, std::size_t maxBytes);

// The direct commands under "时间".
void RunInsertTime(CommandContext& context);
void RunHoursMinutesSecondsToSeconds(CommandContext& context);
void RunSecondsToHoursMinutesSeconds(CommandContext& context);

}  // namespace velmor
