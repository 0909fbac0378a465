// Numbers in FE source: an optional sign and decimal digits; a radix form
// "base#digits"; a fraction after "."; an exponent after "e" or "E" (with no
// mantissa digits at all the mantissa is 1, so "e3" is 1000.0). A text that
// breaks a rule is not a number and the scanner reads it as a name.
//
// Digits alone make an integer when they fit: unsigned texts up to
// 4294967295 (those from 2147483648 up wrap to negative integers, as scripts
// write bit masks that way), negative texts down to -2147483648. Anything
// beyond is a real, never a wrapped integer. Any "." or exponent makes a real.
#include "fe/scanner.h"

#include "core/errors.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a digit of the radix form (0-9, then a-z or A-Z for 10-35),
// or 99.
int radixDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

int parseRadix(const char* text, size_t length, size_t baseEnd, feObject* out) {
  uint32_t base = 0;
  for (size_t i = 0; i < baseEnd; ++i) {
    base = base * 10 + uint32_t(text[i] - '0');
    if (base > 36) return feErrNotANumber;
  }
  if (base < 2) return feErrNotANumber;
  size_t i = baseEnd + 1;
  if (i >= length) return feErrNotANumber;
  uint32_t value = 0;   // accumulates in 32 bits, wrapping
  for (; i < length; ++i) {
    const int d = radixDigit(text[i]);
    if (d >= int(base)) return feErrNotANumber;
    value = value * base + uint32_t(d);
  }
  return feMakeInt(out, int32_t(value));
}

// The real of a clean text "[-]digits.digits[e[-]digits]", correctly rounded
// and independent of the locale; out of range gives an infinity or zero.
double realOf(const std::string& clean, bool negative, int64_t magnitude) {
  double value = 0.0;
  const auto result = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = magnitude > 0 ? HUGE_VAL : 0.0;
    if (negative) value = -value;
  }
  return value;
}

}  // namespace

int feParseNumber(const char* text, size_t length, feObject* out) {
  if (!text || length == 0) return feErrNotANumber;
  size_t i = 0;
  bool signGiven = false;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    signGiven = true;
    negative = text[0] == '-';
    ++i;
  }
  const size_t intStart = i;
  while (i < length && isDigit(text[i])) ++i;
  const size_t intEnd = i;

  if (i < length && text[i] == '#') {
    if (signGiven || intEnd == intStart) return feErrNotANumber;
    return parseRadix(text, length, intEnd, out);
  }

  bool dot = false;
  size_t fracStart = i, fracEnd = i;
  if (i < length && text[i] == '.') {
    dot = true;
    fracStart = ++i;
    while (i < length && isDigit(text[i])) ++i;
    fracEnd = i;
  }

  bool exponent = false;
  bool expNegative = false;
  int64_t expValue = 0;
  if (i < length && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < length && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
    const size_t expStart = i;
    while (i < length && isDigit(text[i])) {
      // Saturates far beyond any double's range.
      if (expValue < 1000000) expValue = expValue * 10 + (text[i] - '0');
      ++i;
    }
    if (i == expStart) return feErrNotANumber;
    exponent = true;
  }
  if (i != length) return feErrNotANumber;

  const size_t intDigits = intEnd - intStart;
  const size_t fracDigits = fracEnd - fracStart;

  if (!dot && !exponent) {
    if (intDigits == 0) return feErrNotANumber;   // a sign alone
    uint64_t value = 0;
    bool beyond = false;
    for (size_t k = intStart; k < intEnd; ++k) {
      value = value * 10 + uint64_t(text[k] - '0');
      if (value > 0xFFFFFFFFull) {
        beyond = true;
        break;
      }
    }
    if (!beyond) {
      if (!negative) return feMakeInt(out, int32_t(uint32_t(value)));
      if (value <= 2147483648ull) return feMakeInt(out, int32_t(-int64_t(value)));
    }
    std::string clean(negative ? "-" : "");
    clean.append(text + intStart, intDigits);
    return feMakeReal(out, realOf(clean, negative, 1));
  }

  // A real. Without mantissa digits the mantissa is 1 when an exponent is
  // given ("e3") and 0 otherwise (".").
  std::string clean(negative ? "-" : "");
  if (intDigits + fracDigits == 0) {
    clean += exponent ? "1" : "0";
  } else {
    clean.append(intDigits ? text + intStart : "0", intDigits ? intDigits : 1);
    if (fracDigits) {
      clean += '.';
      clean.append(text + fracStart, fracDigits);
    }
  }
  if (exponent) {
    clean += expNegative ? "e-" : "e";
    clean += std::to_string(expValue);
  }
  // Where the first significant digit lies, to tell overflow from underflow.
  int64_t magnitude = expNegative ? -expValue : expValue;
  size_t lead = intStart;
  while (lead < intEnd && text[lead] == '0') ++lead;
  if (lead < intEnd) {
    magnitude += int64_t(intEnd - lead);
  } else {
    size_t zeros = 0;
    while (fracStart + zeros < fracEnd && text[fracStart + zeros] == '0') ++zeros;
    // Zero digits only: zero, whatever the exponent.
    if (zeros == fracDigits && intDigits + fracDigits > 0) return feMakeReal(out, negative ? -0.0 : 0.0);
    magnitude -= int64_t(zeros);
  }
  return feMakeReal(out, realOf(clean, negative, magnitude));
}
