// Scalar arithmetic: rounding to 32-bit integers, the guarded division,
// angles in turns and special doubles.
#include "core/vec.h"

#include "core/debug.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

}  // namespace

int32_t uRoundToInt(int direction, double x) {
  const double r = direction < 0 ? std::floor(x) : direction > 0 ? std::ceil(x) : std::floor(x + 0.5);
  // Clamped before the conversion: a double outside the range (or a NaN)
  // must never reach it.
  if (std::isnan(r)) return 0;
  if (r >= 2147483647.0) return INT32_MAX;
  if (r <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(r);
}

int32_t uRoundToIntB(int direction, double x) { return uRoundToInt(direction, x); }

int uSafeDiv(double a, double b, double* out) {
  if (std::fabs(a) >= std::fabs(b) * 1e60) return -9;
  *out = a / b;
  return 0;
}

void angSinCos(double angle, double* cosOut, double* sinOut) {
  // The fraction of a turn in [0, 1); every step below is an exact
  // subtraction, so the angle is folded into the first eighth without error
  // and the octant code says how to unfold the answer.
  double f = std::fmod(angle, 1.0);
  if (f < 0.0) f += 1.0;
  double x = f;
  int code = 0;
  if (f > 0.5) {
    x = 1.0 - f;
    code = 4;
  }
  if (x > 0.25) {
    x = 0.5 - x;
    code = f > 0.5 ? 6 : 2;
  }
  if (x > 0.125) {
    x = 0.25 - x;
    code += 1;
  }
  const double r = x * kTwoPi;
  const double c = std::cos(r);
  const double s = std::sin(r);
  switch (code) {
    case 0: *cosOut = c; *sinOut = s; break;
    case 1: *cosOut = s; *sinOut = c; break;
    case 2: *cosOut = -c; *sinOut = s; break;
    case 3: *cosOut = -s; *sinOut = c; break;
    case 4: *cosOut = c; *sinOut = -s; break;
    case 5: *cosOut = s; *sinOut = -c; break;
    case 6: *cosOut = -c; *sinOut = -s; break;
    default: *cosOut = -s; *sinOut = -c; break;
  }
}

double angTurnsToRad(double a) { return kTwoPi * a; }

int angAtan2(double y, double x, double* out) {
  *out = std::atan2(y, x) / kTwoPi;
  return 0;
}

int angAcosT(double a, double b, double* out) {
  const double d = b * b - a * a;
  return angAtan2(std::sqrt(d > 0.0 ? d : 0.0), a, out);
}

int fClassify(double x) {
  switch (std::fpclassify(x)) {
    case FP_NAN: return 3;
    case FP_INFINITE: return 2;
    case FP_ZERO: return 1;
    default: return 0;
  }
}

void fSetSpecial(int kind, double* out) {
  uint64_t bits;
  const int64_t magnitude = kind < 0 ? -static_cast<int64_t>(kind) : kind;
  switch (magnitude) {
    case 1: bits = 0; break;
    case 2: bits = 0x7FF0000000000000ull; break;
    case 3: bits = 0x7FFFFFFFFFFFFFFFull; break;
    default:
      dbgPanic("bad switch in fSetSpecial");
      return;
  }
  if (kind < 0) bits |= 0x8000000000000000ull;
  std::memcpy(out, &bits, sizeof bits);
}
