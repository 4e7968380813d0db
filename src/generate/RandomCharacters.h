#pragma once

#include <cstdint>

#include "core/Random.h"
#include "core/Text.h"
#include "generate/SecureDraw.h"

namespace velmor {

// The kinds of RandomCharacters.
inline constexpr int kDigitCharacters = 1;
inline constexpr int kLetterCharacters = 2;
inline constexpr int kDigitAndLetterCharacters = 3;

// RandomCharacters: seeds the generator anew from the tick, then count characters of the kind
// (nothing for count <= 0 or another kind), drawing three numbers a letter and four a mixed
// character whichever is used.
Text RandomCharacters(RandomGenerator& random, std::int64_t count, int kind);
// The same characters appended to out.
void AppendRandomCharacters(RandomGenerator& random, std::int64_t count, int kind, Text& out);

// count characters drawn uniformly from the kind's set (10 digits, 52 letters, or both).
void AppendSecureCharacters(SecureDraw& draw, std::int64_t count, int kind, Text& out);

}  // namespace velmor
