// The real rule of the formatting engine (see format_real.h).
#include "core/format_real.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The decimal digits of a value, most significant first, without trailing
// zeros (at least one digit stays), and the position of the decimal point:
// value = 0.d1d2d3... * 10^decpt. Zero has the digit "0" and decpt 0.
struct Digits {
  char text[kRealMaxDigits + 8];
  int count = 0;
  int decpt = 0;
};

// Rounds magnitude (finite, not negative) to n significant digits. The C
// library's "%e" conversion gives correctly rounded digits.
void takeDigits(double magnitude, int n, Digits& d) {
  char buf[kRealMaxDigits + 32];
  std::snprintf(buf, sizeof buf, "%.*e", n - 1, magnitude);
  // buf holds "d.ddd...e+XX" (or "de+XX" when n is 1).
  d.count = 0;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') d.text[d.count++] = *p;
  }
  const int exponent = (*p == 'e') ? static_cast<int>(std::strtol(p + 1, nullptr, 10)) : 0;
  d.decpt = (magnitude == 0.0) ? 0 : exponent + 1;
  while (d.count > 1 && d.text[d.count - 1] == '0') --d.count;
  d.text[d.count] = 0;
}

// Appends to a text that cannot overflow: the callers never write more than
// kRealTextSize - 1 characters (sign, at most kRealMaxDigits + 1 digits, up
// to 12 zeros after the point, point and exponent).
struct Writer {
  char* out;
  size_t n = 0;
  void put(char c) { out[n++] = c; }
  void put(const char* s, size_t len) {
    std::memcpy(out + n, s, len);
    n += len;
  }
  void repeat(char c, int count) {
    for (int i = 0; i < count; ++i) out[n++] = c;
  }
};

}  // namespace

size_t uRealToText(double value, char conversion, int precision, char* out) {
  Writer w{out};
  if (std::isnan(value)) {
    w.put("nan", 3);
  } else if (std::isinf(value)) {
    if (value < 0) w.put('-');
    w.put("inf", 3);
  } else {
    const int digitsWanted = precision < 0 ? 8 : std::clamp(precision, 1, kRealMaxDigits);
    const bool negative = value < 0;  // -0.0 prints as "0"
    const double magnitude = std::fabs(value);
    Digits d;
    takeDigits(magnitude, digitsWanted, d);
    if (negative) w.put('-');

    if (conversion != 'G' && (d.decpt < -5 || d.decpt > 10)) {
      // Exponent form: first digit, ".", the other digits, the exponent.
      w.put(d.text[0]);
      w.put('.');
      w.put(d.text + 1, static_cast<size_t>(d.count - 1));
      char exponent[16];
      const int len = std::snprintf(exponent, sizeof exponent, "e%+d", d.decpt - 1);
      w.put(exponent, static_cast<size_t>(len));
    } else {
      // Fixed form. A value with at least as many integer digits as the
      // precision is taken again with one digit after the point.
      if (digitsWanted <= d.decpt) takeDigits(magnitude, d.decpt + 1, d);
      if (d.decpt < 1) {
        int first = 0;
        while (first < d.count && d.text[first] == '0') {
          ++first;
          --d.decpt;
        }
        if (d.decpt < -12) {
          w.n = 0;  // too small to show: the whole text is "0"
          w.put('0');
        } else {
          w.put('0');
          if (first < d.count) {
            w.put('.');
            w.repeat('0', -d.decpt);
            w.put(d.text + first, static_cast<size_t>(d.count - first));
          }
        }
      } else {
        // Integer places (zeros when the digits run out), the point, then
        // the digits that remain.
        const int integerDigits = std::min(d.count, d.decpt);
        w.put(d.text, static_cast<size_t>(integerDigits));
        w.repeat('0', d.decpt - integerDigits);
        w.put('.');
        w.put(d.text + integerDigits, static_cast<size_t>(d.count - integerDigits));
      }
      if (conversion == 'f' && w.n > 0 && out[w.n - 1] == '.') --w.n;
    }
  }
  out[w.n] = 0;
  return w.n;
}
