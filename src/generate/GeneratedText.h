#pragma once

#include <cstdint>
#include <optional>

#include "core/CommandRegistry.h"
#include "core/Text.h"

namespace velmor {

// The largest text a generator writes: a longer one would exhaust memory long before the edit
// box could show it, so it is refused before anything is built.
inline constexpr std::uint64_t kGeneratedTextLimit = std::uint64_t{1} << 30;

// Replaces the document with the generated text, or, for a run refused for its size, tells
// the user and leaves the document as it was.
void WriteGeneratedText(CommandContext& context, std::optional<Text> text);

// The decimal text of value, a minus sign first when negative.
Text IntegerText(std::int64_t value);
// The sum of the lengths of IntegerText over first..last (0 when last < first).
std::uint64_t IntegerTextLengthSum(std::int64_t first, std::int64_t last);

}  // namespace velmor
