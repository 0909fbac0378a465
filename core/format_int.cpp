// Integer text conversions shared by the formatting engine and by every
// reader of numbers in names, .ini values and format widths.
#include "core/format.h"

namespace {

const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The value of one digit character in bases up to 36, or 99 for a character
// that is no digit in any base.
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 99;
}

}  // namespace

char* uIntToStr(int32_t value, int base, int signMode, const char* prefix, char* output) {
  if (base < 2 || base > 36) base = 10;
  if (value == 0) {
    *output++ = '0';
    *output = 0;
    return output;
  }
  // Unsigned arithmetic, so that the magnitude of INT32_MIN is representable.
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (signMode != 0 && value < 0) {
    *output++ = '-';
    magnitude = 0u - magnitude;
  } else if (signMode == 2) {
    *output++ = '+';
  }
  if (prefix) {
    while (*prefix) *output++ = *prefix++;
  }
  char reversed[32];
  int count = 0;
  const uint32_t b = static_cast<uint32_t>(base);
  while (magnitude) {
    reversed[count++] = kDigits[magnitude % b];
    magnitude /= b;
  }
  while (count) *output++ = reversed[--count];
  *output = 0;
  return output;
}

int32_t uStrToIntBase(const char** text, int base) {
  if (!text || !*text) return 0;
  const char* p = *text;
  uint32_t value = 0;  // wraps in 32 bits like the stored words it fills
  for (int d; (d = digitValue(*p)) < base; ++p) {
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
  }
  *text = p;
  return static_cast<int32_t>(value);
}

int32_t uStrToInt(const char** text) {
  if (!text || !*text) return 0;
  const char* p = *text;
  if (p[0] != '0') return uStrToIntBase(text, 10);
  // A base prefix counts only when a digit of that base follows it; "0x" alone
  // is the number 0 followed by the letter, so "%0x" stays a hexadecimal
  // conversion of width 0.
  if ((p[1] == 'b' || p[1] == 'B') && digitValue(p[2]) < 2) {
    *text = p + 2;
    return uStrToIntBase(text, 2);
  }
  if ((p[1] == 'x' || p[1] == 'X') && digitValue(p[2]) < 16) {
    *text = p + 2;
    return uStrToIntBase(text, 16);
  }
  return uStrToIntBase(text, 8);
}
