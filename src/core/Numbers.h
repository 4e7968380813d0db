#pragma once

#include <cstdint>

#include "core/Text.h"

namespace velmor {

// Reads a decimal integer after TextHalfWidth: leading white space, an optional sign, digits
// up to the first other character; no digits gives 0. Saturates at the 32-bit limits.
int ToInt(const Text& text);
// As ToInt, read as a decimal floating-point number.
double ToNumber(const Text& text);
// The low 8 bits.
int ToByte(int value);
// "%d".
Text ToText(int value);
// "%.13g".
Text ToText(double value);
// The bytes up to, not including, the first zero byte.
Text ToText(const ByteString& bytes);
// Upper-case "%X"; a negative value gives its eight-digit two's complement.
Text ToHex(int value);

double Power(double a, double b);
// Truncated division; b must not be 0 (callers decide what a zero divisor means).
std::int64_t IntDiv(std::int64_t a, std::int64_t b);
// a - b * trunc(a / b), with the sign of a; b must not be 0.
double Remainder(double a, double b);
int BitAnd(int a, int b);
int BitOr(int a, int b);
int BitXor(int a, int b);
// Shifts by n mod 32 bits; ShiftRight copies the sign bit.
int ShiftLeft(int value, int n);
int ShiftRight(int value, int n);

// Two numbers count as equal when they differ by at most 1e-7.
bool NearlyEqual(double a, double b);

}  // namespace velmor
