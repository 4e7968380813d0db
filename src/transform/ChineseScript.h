#pragma once

#include "core/Services.h"
#include "core/Text.h"

namespace velmor {

enum class ChineseScript { Simplified, Traditional };

// Converts the Chinese characters of a GBK text to the target script through converter,
// keeping the byte length: a character whose converted form has no code page 936 code stays
// as it was, a shorter result is filled with trailing ASCII spaces, and ASCII and bytes that
// are not characters (a lone lead byte, invalid pairs) pass through untouched. Where a
// phrase changes the number of characters of a stretch, that stretch is converted character
// by character instead.
Text ConvertChineseScript(const Text& text, ChineseScript target,
                          const ChineseConverter& converter);

}  // namespace velmor
