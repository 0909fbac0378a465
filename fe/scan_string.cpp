// String literals "(...)" with their backslash escapes and translation, and
// hex strings "<...>".
#include "core/debug.h"
#include "core/errors.h"
#include "core/xlate.h"
#include "fe/generic.h"
#include "fe/scan_reader.h"
#include "fe/scanner.h"
#include "fe/strings.h"

#include <cstring>

namespace {

bool isOctal(int c) { return c >= '0' && c <= '7'; }

int hexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Stores one byte of a string literal; a full buffer is the alert with the
// first 20 characters and 270.
int store(feScanText& text, int c) {
  if (text.full()) {
    char first[21];
    size_t n = 0;
    while (n < 20 && n < text.size() && text.data()[n] != 0) {
      first[n] = text.data()[n];
      ++n;
    }
    first[n] = 0;
    uAlert(0, "SString too long [^0...]", first);
    return feErrLimitCheck;
  }
  return text.push(uint8_t(c));
}

// The byte a backslash escape stands for: 0 with *byte set, 0 with *byte -1
// for a dropped line end, or an error (260 at the end of the source).
int readEscape(feScanReader* reader, int* byte) {
  int c = 0;
  int err = feScanRead(reader, &c);
  if (err == feErrEof) return feErrSyntax;
  if (err) return err;
  switch (c) {
    case 'b': *byte = 8; return feOk;
    case 'f': *byte = 12; return feOk;
    case 'n': *byte = 10; return feOk;
    case 'r': *byte = 13; return feOk;
    case 't': *byte = 9; return feOk;
    case '*': *byte = 176; return feOk;   // degree sign
    case '+': *byte = 177; return feOk;   // plus-minus sign
    case '-': *byte = 173; return feOk;   // soft hyphen
    case '@': *byte = 216; return feOk;   // diameter sign
    case 10:
      *byte = -1;
      return feOk;
    case 13: {
      // A carriage return and a line feed after it are one line end.
      *byte = -1;
      int next = 0;
      err = feScanRead(reader, &next);
      if (err == feErrEof) return feOk;
      if (err) return err;
      return next == 10 ? int(feOk) : feScanUnread(reader, next);
    }
    default:
      break;
  }
  if (!isOctal(c)) {
    *byte = c;
    return feOk;
  }
  // Up to three octal digits; the code keeps its low 8 bits.
  int value = c - '0';
  for (int digits = 1; digits < 3; ++digits) {
    int d = 0;
    err = feScanRead(reader, &d);
    if (err == feErrEof) break;
    if (err) return err;
    if (!isOctal(d)) {
      if ((err = feScanUnread(reader, d))) return err;
      break;
    }
    value = value * 8 + (d - '0');
  }
  *byte = value & 0xFF;
  return feOk;
}

// The string value of the text, translated unless raw. A text holding a
// zero byte is never a translation's source and stays as it is.
int makeString(feScanText& text, bool translate, feObject* out) {
  if (translate && std::memchr(text.data(), 0, text.size()) == nullptr) {
    const char* translated = nullptr;
    if (xlateStr(0, text.terminated(), &translated) == 0 && translated) {
      return feMakeString(out, translated, std::strlen(translated));
    }
  }
  return feMakeString(out, text.data(), text.size());
}

}  // namespace

int feScanStringBody(feScanReader* reader, int mode, feObject* out) {
  feScanText text(feScanStringMaxLength);
  const bool quoted = (mode & feScanStringQuoted) != 0;
  int depth = 0;
  for (;;) {
    int c = 0;
    int err = feScanRead(reader, &c);
    if (err == feErrEof) return feErrSyntax;
    if (err) return err;
    if (quoted) {
      if (c == '"') break;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth < 0) break;
    }
    if (c == '\\') {
      if ((err = readEscape(reader, &c))) return err;
      if (c < 0) continue;
    }
    if ((err = store(text, c))) return err;
  }
  return makeString(text, (mode & feScanStringRaw) == 0, out);
}

int feScanHexString(feScanReader* reader, feObject* out) {
  feScanText text(feStringMaxLength);
  int high = -1;
  for (;;) {
    int c = 0;
    int err = feScanRead(reader, &c);
    if (err == feErrEof) return feErrSyntax;
    if (err) return err;
    const int v = hexValue(c);
    if (v >= 0) {
      if (high < 0) {
        high = v;
      } else {
        if ((err = text.push(uint8_t(high * 16 + v)))) return err;
        high = -1;
      }
      continue;
    }
    if (feScanIsWhite(c)) continue;
    if (c == '>') break;
    return feErrSyntax;
  }
  // An odd last digit is the high half of a byte whose low half is 0.
  if (high >= 0) {
    if (const int err = text.push(uint8_t(high * 16))) return err;
  }
  return feMakeString(out, text.data(), text.size());
}

int feScanString(feObject* source, int mode, feObject* out) {
  feScanReader reader;
  feScanReaderOpen(&reader, source);
  feObject value;
  int err = feScanStringBody(&reader, mode, &value);
  const int back = feScanReaderFlush(&reader);
  if (err == 0 && back != 0) {
    feFree(&value);
    err = back;
  }
  if (err == 0) *out = value;
  return err;
}
