// Numbers, lengths and angles as text in the current units.
#include "core/format.h"
#include "core/units.h"

#include <cmath>
#include <cstring>

namespace {

// A bounded writer over a caller buffer; it always leaves the text
// terminated and stops at the end of the buffer.
struct textOut {
  char* out;
  int32_t size;
  int32_t n = 0;

  textOut(char* o, int32_t s) : out(o), size(s) {
    if (size > 0) out[0] = 0;
  }
  void put(char c) {
    if (n + 1 < size) {
      out[n++] = c;
      out[n] = 0;
    }
  }
  void put(const char* s) {
    while (s && *s) put(*s++);
  }
  template <class... A>
  void print(const char* format, const A&... args) {
    if (n + 1 >= size) return;
    n += uSprintf(out + n, size_t(size - n), format, args...);
  }
};

// Whole numbers (already floored) are printed with "%f", which writes them
// without the trailing "." that the engine's "%g" keeps.
void putWhole(textOut& t, double whole) { t.print("%f", whole); }

// Integers that may exceed 32 bits are printed as reals, digit for digit.
void putLong(textOut& t, double whole) {
  if (whole < 2147483647.0) t.print("%d", int32_t(whole));
  else t.print("%.0f", whole);
}

int64_t gcd(int64_t a, int64_t b) {
  while (b) {
    const int64_t r = a % b;
    a = b;
    b = r;
  }
  return a;
}

}  // namespace

int32_t unitFormatNumber(char* out, int32_t size, double value, int32_t decimals, bool lead0, bool trail0) {
  textOut t(out, size);
  if (size <= 0) return 0;
  if (value < 0) {
    t.put('-');
    value = -value;
  }
  if (decimals > 9) decimals = 9;
  if (decimals < 0) decimals = 0;
  if (decimals == 0) trail0 = false;
  double whole = std::floor(value);
  if (whole > 1000000000.0) {
    t.print("%.4g", value);
    return t.n;
  }
  double scale = 1;
  for (int32_t i = 0; i < decimals; ++i) scale *= 10;
  // The callers have added half a step; the slack keeps a digit that the
  // binary fraction lands just below (2.25 + 0.05 is 2.2999...) whole.
  int64_t digits = int64_t(std::floor((value - whole) * scale + 1e-7));
  if (digits >= int64_t(scale)) digits = int64_t(scale) - 1;
  const bool nothingFollows = digits == 0 && !trail0;
  if (whole != 0 || lead0 || decimals == 0 || nothingFollows) putLong(t, whole);
  if (decimals == 0 || nothingFollows) return t.n;
  char text[16];
  int32_t count = decimals;
  for (int32_t i = decimals - 1; i >= 0; --i) {
    text[i] = char('0' + digits % 10);
    digits /= 10;
  }
  if (!trail0)
    while (count > 0 && text[count - 1] == '0') --count;
  if (count == 0) return t.n;
  t.put(unitDecimalSep());
  for (int32_t i = 0; i < count; ++i) t.put(text[i]);
  return t.n;
}

int32_t unitFormatValue(double value, int32_t dimension, int32_t size, char* out, int32_t precisionCode,
                        const char* unitNames, int32_t flags) {
  textOut t(out, size);
  if (size <= 0) return 0;
  const unitsRec* rec = unitCurrent();
  const bool recordFlags = flags == -1;
  uint32_t f = recordFlags ? rec->flags : uint32_t(flags);
  double step = rec->step;
  int32_t decimals = rec->decimals;
  if (precisionCode >= 0 && precisionCode < 17) {
    decimals = precisionCode > 9 ? 9 : precisionCode;
    step = std::pow(10.0, -precisionCode);
    f &= ~uint32_t(unitFlagFraction);
    if (recordFlags) f |= unitFlagTrail0;
  } else if (precisionCode >= unitPrecBinary && precisionCode <= unitPrecBinary + 9) {
    step = 1.0 / double(1 << (precisionCode - unitPrecBinary));
    decimals = unitStepDecimals(step);
    f |= unitFlagFraction;
  }
  if (!(step >= unitMinimumStep)) step = unitMinimumStep;

  int32_t list[unitListMax + 1];
  int32_t count = 0;
  if (unitNames && *unitNames) count = unitParseList(unitNames, int32_t(std::strlen(unitNames)), list, unitListMax);
  if (count == 0) {
    while (count < unitListMax && rec->units[count] >= 0) {
      list[count] = rec->units[count];
      ++count;
    }
    list[count] = -1;
  }
  if (count == 0) list[count++] = -1;  // no unit: internal units
  if (dimension != 1) count = 1;

  if (std::isnan(value)) {
    t.put("NAN");
    return t.n;
  }
  if (std::isinf(value)) {
    t.put(value < 0 ? "-INF" : "INF");
    return t.n;
  }

  // The step is taken in the unit whose digits are shown last, so that a
  // feet-and-inches list rounds to a step of inches, not of feet.
  auto sizeOf = [dimension](int32_t unit) {
    const double s = unitSize(unit);
    double p = 1;
    for (int32_t i = 0; i < dimension; ++i) p *= s;
    return p;
  };
  const double lastSize = sizeOf(list[count - 1]);
  const double magnitude = std::fabs(value) / lastSize;
  const double rounded = magnitude + step / 2;
  if (value < 0 && std::floor(magnitude / step + 0.5) > 0) t.put('-');
  double rest = rounded * lastSize;  // internal units

  bool abbrev = (f & unitFlagAbbrev) != 0;
  bool wrote = false;
  for (int32_t i = 0; i + 1 < count; ++i) {
    const double inUnit = rest / sizeOf(list[i]);
    const double whole = std::floor(inUnit);
    if (whole <= double(unitThreshold())) continue;
    const unitDef* u = unitAt(list[i]);
    if (wrote) t.put(' ');
    putWhole(t, whole);
    t.put(u ? u->abbrev : "");
    wrote = true;
    abbrev = true;
    rest -= whole * sizeOf(list[i]);
  }

  const double v = rest / sizeOf(list[count - 1]);
  if (wrote) t.put(' ');
  if (!(f & unitFlagFraction)) {
    unitFormatNumber(t.out + t.n, t.size - t.n, v, decimals, (f & unitFlagLead0) != 0, (f & unitFlagTrail0) != 0);
    t.n += int32_t(std::strlen(t.out + t.n));
  } else {
    const double whole = std::floor(v);
    const int64_t denominator = int64_t(std::llround(1.0 / step));
    int64_t numerator = int64_t(std::floor((v - whole) / step));
    if (denominator <= 1) numerator = 0;
    if (numerator >= denominator) numerator = denominator - 1;
    if (whole != 0 || numerator == 0) putLong(t, whole);
    if (numerator > 0) {
      const int64_t g = gcd(numerator, denominator);
      if (whole != 0) t.put(' ');
      t.print("%d/%d", int32_t(numerator / g), int32_t(denominator / g));
    }
  }
  if (abbrev && dimension == 1) {
    const unitDef* u = unitAt(list[count - 1]);
    if (u) t.put(u->abbrev);
  }
  return t.n;
}

int32_t unitFormatDefault(double value, int32_t size, char* out, int32_t precision) {
  return unitFormatValue(value, 1, size, out, precision, nullptr, -1);
}

int32_t unitFormatPrec(double value, int32_t size, char* out, int32_t precisionCode, int32_t flags) {
  return unitFormatValue(value, 1, size, out, precisionCode, nullptr, flags);
}

int32_t unitFormatCurrent(double value, int32_t size, char* out, int32_t decimals) {
  const unitsRec* rec = unitCurrent();
  if (decimals < 0) decimals = rec->decimals;
  if (decimals > 9) decimals = 9;
  // unitFormatNumber cuts the digits; round to the last one shown first
  // (and keep "-" off a value that rounds to 0).
  const double half = 0.5 * std::pow(10.0, -decimals);
  double magnitude = std::fabs(value) + half;
  if (std::isnan(value) || std::isinf(value)) magnitude = value;
  const bool negative = value < 0 && std::fabs(value) >= half;
  const bool lead0 = (rec->flags & unitFlagLead0) != 0;
  const bool trail0 = (rec->flags & unitFlagTrail0) != 0;
  if (!negative) return unitFormatNumber(out, size, magnitude, decimals, lead0, trail0);
  return unitFormatNumber(out, size, -magnitude, decimals, lead0, trail0);
}

int32_t unitFormatAngle(double angle, int32_t size, char* out, int32_t mode) {
  textOut t(out, size);
  if (size <= 0) return 0;
  double step;
  switch (mode) {
    case 0: step = 1; break;
    case 1: step = 1.0 / 60; break;
    case 3: step = 0.1; break;
    case 4: step = 0.01; break;
    case 5: step = 0.001; break;
    case 6: step = 0.0001; break;
    default: step = 1.0 / 3600; break;
  }
  double offset, factor, angleStep;
  unitAngleGetParams(&offset, &factor, &angleStep);
  double v = factor * angle;
  if (std::isnan(v) || std::isinf(v)) {
    t.put(std::isnan(v) ? "NAN" : v < 0 ? "-INF" : "INF");
    return t.n;
  }
  // A "-" only for an angle that does not round to 0.
  if (v < 0) {
    v = -v;
    if (std::floor(v / step + 0.5) > 0) t.put('-');
  }
  v += step / 2;
  if (mode >= 3 && mode <= 6) {
    const bool lead0 = (unitGetFlags() & unitFlagLead0) != 0;
    unitFormatNumber(t.out + t.n, t.size - t.n, v, mode - 2, lead0, true);
    t.n += int32_t(std::strlen(t.out + t.n));
    t.put(unitDegreeChar());
    return t.n;
  }
  double degrees = std::floor(v);
  double fraction = (v - degrees) * 60;
  double minutes = std::floor(fraction);
  double seconds = std::floor((fraction - minutes) * 60);
  // Rounding can leave exactly 60 seconds or minutes: carry them.
  if (seconds >= 60) {
    seconds -= 60;
    minutes += 1;
  }
  if (minutes >= 60) {
    minutes -= 60;
    degrees += 1;
  }
  if (mode < 0) mode = seconds != 0 ? 2 : minutes != 0 ? 1 : 0;
  if (mode == 0) {
    putWhole(t, degrees);
    t.put(unitDegreeChar());
  } else if (mode == 1) {
    putWhole(t, degrees);
    t.put(unitDegreeChar());
    t.put(' ');
    putWhole(t, minutes);
    t.put('\'');
  } else {
    putWhole(t, degrees);
    t.put(unitDegreeChar());
    t.put(' ');
    putWhole(t, minutes);
    t.put("' ");
    putWhole(t, seconds);
    t.put('"');
  }
  return t.n;
}

int32_t unitAngleString(uint32_t low, uint32_t high, int32_t size, char* out, int32_t mode) {
  const uint64_t bits = (uint64_t(high) << 32) | low;
  double angle;
  std::memcpy(&angle, &bits, sizeof angle);
  return unitFormatAngle(angle, size, out, mode);
}
