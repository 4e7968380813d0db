#pragma once

#include "core/Text.h"

namespace velmor {

// The two decoding conversions of EscapeConvert ("to16un" and "to10un"), worked out on the
// code page 936 bytes of the text.
Text UnescapePercent(const Text& text);
Text DecodeReferences(const Text& text);

}  // namespace velmor
