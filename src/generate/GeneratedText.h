#pragma once

#include <cstdint>

#include "core/CommandRegistry.h"
#include "core/Text.h"

namespace velmor {

// The largest text a generator writes: a longer one would exhaust memory long before the edit
// box could show it, so it is refused before anything is built.
inline constexpr std::uint64_t kGeneratedTextLimit = std::uint64_t{1} << 30;

// Tells the user that the run was refused for its size; the document stays as it was.
void ShowGeneratedTextTooLarge(CommandContext& context);

// The decimal text of value, a minus sign first when negative.
Text IntegerText(std::int64_t value);
// The number of bytes of IntegerText(value).
int IntegerTextLength(std::int64_t value);
// The sum of IntegerTextLength over first..last (0 when last < first).
std::uint64_t IntegerTextLengthSum(std::int64_t first, std::int64_t last);

}  // namespace velmor
