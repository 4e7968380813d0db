#pragma once

#include "core/Text.h"

namespace velmor {

// UnescapePercent and DecodeReferences computed the long way round: the whole text decoded
// to UTF-8, the escapes decoded there, and the result encoded back to code page 936. They
// give the same result for every input; the direct decoders fall back to them for the texts
// a walk over the code page bytes cannot reproduce.
Text UnescapePercentThroughUtf8(const Text& text);
Text DecodeReferencesThroughUtf8(const Text& text);

}  // namespace velmor
