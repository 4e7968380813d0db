#pragma once

#include <cstddef>
#include <optional>

#include "core/ResultSizeLimit.h"
#include "core/Text.h"

namespace velmor {

// EscapeConvert computed the long way round: the whole text decoded to UTF-8, converted
// there, and a decoded result encoded back to code page 936. It gives the same result for
// every input; the decoders fall back to it for the texts a direct walk cannot reproduce.
std::optional<Text> EscapeConvertThroughUtf8(const Text& text, const Text& name,
                                             std::size_t maxResultBytes = kMaxResultBytes);

}  // namespace velmor
