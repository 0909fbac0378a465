// Numeric literals of expressions, the decimal separator and integer powers.
#include "fe/expeval.h"
#include "fe/expeval_internal.h"

#include <cstdint>

namespace {

char gSeparator = '.';

// The value of a digit character (0-9, then a-z or A-Z for 10-35), or -1.
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// Bases above this accept every digit character; the cap keeps a huge
// "#" prefix from overflowing the conversion to an integer.
constexpr double kBaseCap = 1000.0;
// Fraction digits beyond these add nothing a double can hold.
constexpr int kFractionDigits = 18;
// Exponents beyond this are infinite or zero anyway.
constexpr int32_t kExponentCap = 100000;

}  // namespace

char expDecimalSeparator() { return gSeparator; }

void expSetDecimalSeparator(char separator) { gSeparator = separator; }

bool expIsSeparator(char c) { return c == gSeparator || c == '.' || c == ','; }

double expIntPow(double x, int32_t n) {
  // The magnitude as unsigned, so that the most negative n is safe.
  uint32_t m = n < 0 ? 0u - uint32_t(n) : uint32_t(n);
  double result = 1.0;
  while (m != 0) {
    if (m & 1u) result *= x;
    x *= x;
    m >>= 1;
  }
  return n < 0 ? 1.0 / result : result;
}

int expParseNumber(const char** cursor, int32_t length, double* value) {
  const char* p = *cursor;
  const char* const end = p + (length > 0 ? length : 0);

  double base = 10.0;
  if (p < end && *p == '0') {
    ++p;
    base = 8.0;
    if (p < end && (*p == 'x' || *p == 'X')) {
      ++p;
      base = 16.0;
    }
  }

  double v = 0.0;
  auto readDigits = [&]() {
    while (p < end) {
      if (*p == '_') {
        ++p;
        continue;
      }
      const int d = digitValue(*p);
      if (d < 0 || double(d) >= base) break;
      v = v * base + d;
      ++p;
    }
  };
  readDigits();
  if (p < end && *p == '#') {
    ++p;
    base = v < kBaseCap ? v : kBaseCap;
    v = 0.0;
    readDigits();
  }

  if (p < end && expIsSeparator(*p)) {
    ++p;
    double fraction = 0.0;
    int32_t digits = 0;
    for (; p < end && isDecimalDigit(*p); ++p) {
      if (digits == kFractionDigits) continue;
      fraction = fraction * 10.0 + (*p - '0');
      ++digits;
    }
    if (digits > 0) v += fraction / expIntPow(10.0, digits);
  }

  // The exponent is read only when digits follow, so that an "e" that
  // begins a unit name or an identifier stays for the caller.
  if (p < end && *p == 'e') {
    const char* q = p + 1;
    if (q < end && *q == '+') ++q;
    bool negative = false;
    if (q < end && *q == '-') {
      negative = true;
      ++q;
    }
    if (q < end && isDecimalDigit(*q)) {
      int32_t exponent = 0;
      for (; q < end && isDecimalDigit(*q); ++q)
        if (exponent < kExponentCap) exponent = exponent * 10 + (*q - '0');
      // Dividing by the power keeps 1.5e-2 as close as 1.5e2.
      const double scale = expIntPow(10.0, exponent);
      v = negative ? v / scale : v * scale;
      p = q;
    }
  }

  *cursor = p;
  *value = v;
  return 0;
}

int expReadPlainNumber(const char** cursor, int32_t length, double* value, int16_t* tag) {
  const int rc = expParseNumber(cursor, length, value);
  if (rc == 0 && tag) *tag = 0;
  return rc;
}
