// Reading typed values: the length and angle term readers that the
// expression evaluator calls for each number, the parsers built on them, and
// the conversions by kind name.
#include "fe/units_ops.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "core/format.h"
#include "core/units.h"
#include "core/vec.h"
#include "fe/expeval.h"

#include <cmath>
#include <cstring>

namespace {

const unsigned char kSoftHyphen = 173;

// A cursor over the text a reader was handed.
struct scan {
  const char* p;
  const char* end;

  bool atEnd() const { return p >= end; }
  unsigned char peek(int32_t ahead = 0) const { return p + ahead < end ? static_cast<unsigned char>(p[ahead]) : 0; }
  bool digitAt(int32_t ahead) const {
    const unsigned char c = peek(ahead);
    return (c >= '0' && c <= '9') || (p + ahead < end && c != 0 && char(c) == expDecimalSeparator()) ||
           (c == '.' && peek(ahead + 1) >= '0' && peek(ahead + 1) <= '9');
  }
  // Blanks and soft hyphens; answers whether any was skipped.
  bool skipSpace() {
    const char* start = p;
    while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == kSoftHyphen)) ++p;
    return p > start;
  }
  int number(double* out) {
    const char* q = p;
    const int rc = expParseNumber(&q, int32_t(end - p), out);
    if (rc) return rc;
    if (q == p) return unitErrBadTerm;
    p = q;
    return 0;
  }
};

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The end of a unit name: operators, brackets, digits, blanks and the
// evaluator's separators end it.
bool endsName(unsigned char c) {
  return c == 0 || isDigit(c) || c == ' ' || c == '\t' || c == kSoftHyphen || std::strchr("*/+-()<>=!&|:;{}[]", c);
}

// A number and an optional fraction: "3", "1/2", or a whole number and a
// fraction after a blank or soft hyphen ("1 1/2"). Answers 0 or an error.
int readQuantity(scan& s, double* out) {
  double whole = 0;
  if (const int rc = s.number(&whole)) return rc;
  double value = whole;
  if (s.peek() == '/' && s.digitAt(1)) {
    ++s.p;
    double denominator = 0;
    if (const int rc = s.number(&denominator)) return rc;
    if (uSafeDiv(whole, denominator, &value)) return unitErrBadTerm;
  } else {
    // "1 1/2": a whole number, a blank, digits and "/".
    scan t = s;
    if (t.skipSpace() && t.digitAt(0)) {
      double numerator = 0;
      if (t.number(&numerator) == 0 && t.peek() == '/' && t.digitAt(1)) {
        ++t.p;
        double denominator = 0, fraction = 0;
        if (t.number(&denominator) == 0 && uSafeDiv(numerator, denominator, &fraction) == 0) {
          value = whole + fraction;
          s = t;
        }
      }
    }
  }
  *out = value;
  return 0;
}

// One part of a length: a quantity and an optional unit. *unit is the unit's
// index, or -1 when none followed.
int readLengthPart(scan& s, double* value, int32_t* unit) {
  if (const int rc = readQuantity(s, value)) return rc;
  *unit = -1;
  scan t = s;
  t.skipSpace();
  const char* start = t.p;
  while (!t.atEnd() && !endsName(t.peek())) ++t.p;
  if (t.p == start) return 0;
  // A run of mark characters may hold a unit followed by more ("1'6"):
  // take the longest prefix that names a unit.
  int32_t n = int32_t(t.p - start);
  for (; n > 0; --n) {
    *unit = unitFindName(start, n);
    if (*unit >= 0) break;
  }
  if (*unit < 0) return unitErrBadTerm;
  s.p = start + n;
  *value *= unitSize(*unit);
  return 0;
}

}  // namespace

int unitReadLengthTerm(const char** cursor, int32_t length, double* value, int16_t* tag) {
  scan s{*cursor, *cursor + (length > 0 ? length : 0)};
  double total = 0;
  int32_t unit = -1;
  if (const int rc = readLengthPart(s, &total, &unit)) return rc;
  // Parts with units in a row are added: 1' 6", 1'6", 2 feet 3 1/2 inches,
  // and 1'-6" (a "-" joined to both sides, before a smaller unit). A part
  // without a unit is not taken: "1' 6" is a malformed expression.
  while (unit >= 0) {
    scan t = s;
    const bool blank = t.skipSpace();
    bool joiner = false;
    (void)blank;
    if (!blank && t.peek() == '-' && isDigit(t.peek(1))) {
      ++t.p;
      joiner = true;
    }
    if (!t.digitAt(0)) break;
    double part = 0;
    int32_t next = -1;
    if (readLengthPart(t, &part, &next) != 0 || next < 0) break;
    if (joiner && !(unitSize(next) < unitSize(unit))) break;
    total += part;
    unit = next;
    s = t;
  }
  *value = total;
  if (tag) *tag = unit >= 0 ? 1 : 0;
  *cursor = s.p;
  return 0;
}

int unitReadAngleTerm(const char** cursor, int32_t length, double* value, int16_t* tag) {
  scan s{*cursor, *cursor + (length > 0 ? length : 0)};
  double total = 0;
  bool first = true;
  for (;;) {
    scan t = s;
    if (!first) {
      // A further part follows a marked one: 30° 15' 36", 30°15'; a signed
      // one only after a blank (30° -15').
      const bool blank = t.skipSpace();
      const bool signedPart = blank && (t.peek() == '-' || t.peek() == '+') && isDigit(t.peek(1));
      if (!signedPart && !t.digitAt(0)) break;
    }
    double sign = 1;
    if (t.peek() == '-' || t.peek() == '+') {
      if (t.peek() == '-') sign = -1;
      ++t.p;
    }
    if (!t.digitAt(0)) {
      if (first) return unitErrBadTerm;
      break;
    }
    double part = 0;
    if (const int rc = readQuantity(t, &part)) return rc;
    scan m = t;
    m.skipSpace();
    const unsigned char c = m.peek();
    bool marked = true;
    if (c == 176 || c == 223) {
    } else if (c == '\'') {
      part /= 60;
    } else if (c == '"') {
      part /= 3600;
    } else {
      marked = false;
    }
    if (marked) t.p = m.p + 1;
    total += sign * part;
    s = t;
    first = false;
    if (!marked) break;  // an unmarked number (degrees) ends the term
  }
  *value = total;
  if (tag) *tag = 0;
  *cursor = s.p;
  return 0;
}

int unitParseValue(const char* text, int32_t length, int32_t dimension, double* out) {
  if (dimension == 10) dimension = 1;
  double v = 0;
  int16_t tag = 0;
  if (const int rc = expEval(text, length, unitReadLengthTerm, expParseIdent, &v, &tag)) return rc;
  if (tag == 0 && dimension != 0) v = unitRescale(dimension, v, 0);
  else if (tag != dimension) return unitErrDimension;
  *out = v;
  return 0;
}

int unitParseLength(const char* text, int32_t length, double* out) { return unitParseValue(text, length, 1, out); }

int unitParseAngle(const char* text, int32_t length, double* out) {
  double v = 0;
  int16_t tag = 0;
  if (const int rc = expEval(text, length, unitReadAngleTerm, expParseIdent, &v, &tag)) return rc;
  if (tag != 0) return unitErrDimension;
  *out = v / 360;
  return 0;
}

int unitFormatByKind(const char* kind, const feObject* value, char** text, int32_t* length) {
  *text = nullptr;
  *length = 0;
  if (!kind) return -1;
  char buffer[256];
  const int type = value ? feType(value) : feTNull;
  const bool number = type == feTInt || type == feTReal;
  if (std::strcmp(kind, "int") == 0) {
    if (type != feTInt) return feErrTypeCheck;
    uSprintf(buffer, "%d", feGetInt(value));
  } else if (std::strcmp(kind, "len") == 0 || std::strcmp(kind, "sca") == 0 || std::strcmp(kind, "ang") == 0) {
    if (!number) return feErrTypeCheck;
    const double v = feGetNumber(value, nullptr);
    if (kind[0] == 'a') unitFormatAngle(v, sizeof buffer, buffer, -1);
    else unitFormatValue(v, kind[0] == 'l' ? 1 : 0, sizeof buffer, buffer, unitPrecCurrent, nullptr, -1);
  } else {
    return -1;
  }
  const uint32_t n = uint32_t(std::strlen(buffer));
  *text = static_cast<char*>(uAlloc(nullptr, nullptr, n + 1, 1));
  std::memcpy(*text, buffer, n + 1);
  *length = int32_t(n);
  return 0;
}

int unitParseByKind(const char* kind, const char* text, int32_t length, feObject* out) {
  if (!kind) return -1;
  double v = 0;
  int rc;
  if (std::strcmp(kind, "len") == 0) rc = unitParseValue(text, length, 1, &v);
  else if (std::strcmp(kind, "sca") == 0 || std::strcmp(kind, "int") == 0) rc = unitParseValue(text, length, 0, &v);
  else if (std::strcmp(kind, "ang") == 0) rc = unitParseAngle(text, length, &v);
  else return -1;
  if (rc) return rc;
  if (kind[0] != 'i') return feMakeReal(out, v);
  double r = std::floor(v + 0.5);
  if (!(r >= -2147483648.0)) r = -2147483648.0;  // NaN clamps low as well
  if (r > 2147483647.0) r = 2147483647.0;
  return feMakeInt(out, int32_t(r));
}

scriptConverters unitScriptConverters() {
  scriptConverters c{};
  c.length = unitParseLength;
  c.angle = unitParseAngle;
  c.factor = expEvalFactor;
  c.lengthText = unitFormatDefault;
  c.angleText = unitFormatAngle;
  c.factorText = unitFormatCurrent;
  return c;
}
