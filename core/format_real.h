// The rule by which the formatting engine writes reals ("%f", "%g", "%G").
// Internal to the engine; callers format reals through uFormat/uSprintf.
#ifndef PLUMET_CORE_FORMAT_REAL_H
#define PLUMET_CORE_FORMAT_REAL_H

#include <cstddef>

// Room that uRealToText needs, terminator included.
constexpr size_t kRealTextSize = 512;

// Significant digits are clamped to 1..kRealMaxDigits; a double has no more
// than this many meaningful decimal places in either form.
constexpr int kRealMaxDigits = 350;

// Writes value into out (kRealTextSize bytes) and answers the text's length.
//
// precision is the number of significant digits; a negative precision means
// the default of 8. The digits are rounded correctly (round-half-even on the
// exact binary value) and trailing zeros dropped. "f" and "g" use the form
// d.ddde+N when the decimal point would lie more than 5 places before the
// first digit or more than 10 after it; "G" never does, and prints a value
// whose first digit lies more than 12 places after the point as "0". In the
// fixed form a value with at least as many integer digits as the precision
// gets one more digit. "g" and "G" keep a "." that ends the text ("5."), "f"
// drops it ("5"). Infinities and NaN print as "inf", "-inf" and "nan".
size_t uRealToText(double value, char conversion, int precision, char* out);

#endif
