#pragma once

#include <vector>

namespace velmor {

// Case-insensitive matching compares characters by this canonical form: the character's
// upper case when that is one character and does not turn a non-ASCII character into an
// ASCII one, else the character itself. Only the Basic Multilingual Plane has case here.
char32_t CanonicalCase(char32_t c);

// Every character whose canonical case equals c's, c included, in ascending order.
std::vector<char32_t> CaseEquivalents(char32_t c);

// Every character that has at least one case equivalent other than itself, ascending.
const std::vector<char32_t>& CasedCharacters();

}  // namespace velmor
