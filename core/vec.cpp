// Vector arithmetic: 3-D vectors and n-vectors, boxes and rounding to
// integers. Scratch values are locals, so nested calls (through message sends
// during drawing, for example) never share a temporary.
#include "core/vec.h"

#include "core/debug.h"

#include <cmath>
#include <cstdarg>
#include <cstring>
#include <limits>

// ---- 3-D vectors ----------------------------------------------------------

double* vecSet3(double* out, double x, double y, double z) {
  out[0] = x;
  out[1] = y;
  out[2] = z;
  return out;
}

double* vecCopy3(const double* a, double* out) { return vecCopyN(3, a, out); }

bool vecEq3(const double* a, const double* b) { return vecEqN(3, a, b); }

double* vecAdd3(const double* a, const double* b, double* out) { return vecAddN(3, a, b, out); }
double* vecSub3(const double* a, const double* b, double* out) { return vecSubN(3, a, b, out); }
double* vecNeg3(const double* a, double* out) { return vecNegN(3, a, out); }
double* vecScale3(double t, const double* a, double* out) { return vecScaleN(3, t, a, out); }
double* vecAxpy3(double t, const double* a, const double* b, double* out) { return vecAxpyN(3, t, a, b, out); }

double vecDot3(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double* vecCross3(const double* a, const double* b, double* out) {
  // Built in locals first: out may be a or b.
  const double x = a[1] * b[2] - a[2] * b[1];
  const double y = a[2] * b[0] - a[0] * b[2];
  const double z = a[0] * b[1] - a[1] * b[0];
  return vecSet3(out, x, y, z);
}

double vecLen3(const double* a) { return std::sqrt(vecDot3(a, a)); }

double vecDistSq3(const double* a, const double* b) {
  double d[3];
  vecSub3(a, b, d);
  return vecDot3(d, d);
}

double vecDist3(const double* a, const double* b) { return std::sqrt(vecDistSq3(a, b)); }

double* vecSetLen3(double length, const double* a, double* out) { return vecSetLenN(3, length, a, out); }

double* vecNormalize3(const double* a, double* out) { return vecSetLenN(3, 1.0, a, out); }

// ---- n-vectors ------------------------------------------------------------

double* vecZeroN(uint32_t n, double* out) {
  for (uint32_t i = 0; i < n; ++i) out[i] = 0.0;
  return out;
}

double* vecSetN(uint32_t n, double* out, ...) {
  va_list args;
  va_start(args, out);
  for (uint32_t i = 0; i < n; ++i) out[i] = va_arg(args, int);
  va_end(args);
  return out;
}

double* vecSetNd(uint32_t n, double* out, ...) {
  va_list args;
  va_start(args, out);
  for (uint32_t i = 0; i < n; ++i) out[i] = va_arg(args, double);
  va_end(args);
  return out;
}

double* vecCopyN(uint32_t n, const double* a, double* out) {
  if (a != out && n) std::memmove(out, a, n * sizeof(double));
  return out;
}

bool vecEqN(uint32_t n, const double* a, const double* b) {
  return n == 0 || std::memcmp(a, b, n * sizeof(double)) == 0;
}

double* vecAddN(uint32_t n, const double* a, const double* b, double* out) {
  for (uint32_t i = 0; i < n; ++i) out[i] = a[i] + b[i];
  return out;
}

double* vecSubN(uint32_t n, const double* a, const double* b, double* out) {
  for (uint32_t i = 0; i < n; ++i) out[i] = a[i] - b[i];
  return out;
}

double* vecNegN(uint32_t n, const double* a, double* out) {
  for (uint32_t i = 0; i < n; ++i) out[i] = -a[i];
  return out;
}

double* vecAbsN(uint32_t n, const double* a, double* out) {
  for (uint32_t i = 0; i < n; ++i) out[i] = std::fabs(a[i]);
  return out;
}

double* vecRecipN(uint32_t n, const double* a, double* out) {
  for (uint32_t i = 0; i < n; ++i) out[i] = 1.0 / a[i];
  return out;
}

double* vecScaleN(uint32_t n, double t, const double* a, double* out) {
  for (uint32_t i = 0; i < n; ++i) out[i] = t * a[i];
  return out;
}

double* vecDivN(uint32_t n, double d, const double* a, double* out) {
  if (d == 1.0) return vecCopyN(n, a, out);
  double factor;
  if (uSafeDiv(1.0, d, &factor) != 0) factor = 1e20;
  return vecScaleN(n, factor, a, out);
}

double* vecAxpyN(uint32_t n, double t, const double* a, const double* b, double* out) {
  for (uint32_t i = n; i-- > 0;) out[i] = a[i] + t * b[i];
  return out;
}

double* vecLerpN(uint32_t n, double t, const double* a, const double* b, double* out) {
  for (uint32_t i = n; i-- > 0;) out[i] = a[i] + t * (b[i] - a[i]);
  return out;
}

double vecDotN(uint32_t n, const double* a, const double* b) {
  uint32_t count = n;
  double sum = 0.0;
  if (n & 0xFF00u) {
    count = n & 0xFFu;
    sum = a[count];
  }
  for (uint32_t i = 0; i < count; ++i) sum += a[i] * b[i];
  return sum;
}

double vecLenN(uint32_t n, const double* a) {
  double sum = 0.0;
  for (uint32_t i = 0; i < n; ++i) sum += a[i] * a[i];
  return std::sqrt(sum);
}

double vecDistSqN(uint32_t n, const double* a, const double* b) {
  if (n > vecScratchMax) {
    dbgPanic("n too big in vecDistSqN: %ld", static_cast<int32_t>(n));
    return std::numeric_limits<double>::quiet_NaN();
  }
  double d[vecScratchMax];
  vecSubN(n, a, b, d);
  double sum = 0.0;
  for (uint32_t i = 0; i < n; ++i) sum += d[i] * d[i];
  return sum;
}

double vecDistN(uint32_t n, const double* a, const double* b) { return std::sqrt(vecDistSqN(n, a, b)); }

double* vecSetLenN(uint32_t n, double length, const double* a, double* out) {
  const double current = vecLenN(n, a);
  if (current == 0.0) return vecCopyN(n, a, out);
  // Divided first, so a unit vector is correctly rounded: (3, 4, 0) gives
  // exactly (0.6, 0.8, 0).
  for (uint32_t i = 0; i < n; ++i) out[i] = a[i] / current * length;
  return out;
}

void bboxSortN(uint32_t n, double* min, double* max) {
  for (uint32_t i = 0; i < n; ++i) {
    if (max[i] < min[i]) {
      const double t = min[i];
      min[i] = max[i];
      max[i] = t;
    }
  }
}

void bboxExtendN(uint32_t n, const double* p, double* min, double* max) {
  for (uint32_t i = 0; i < n; ++i) {
    if (p[i] < min[i]) min[i] = p[i];
    if (p[i] > max[i]) max[i] = p[i];
  }
}

int vecRoundN(uint32_t n, const double* a, int32_t* out) {
  int saturated = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const double x = a[i];
    // Rounded half away from zero, then checked against the 32-bit range
    // before any conversion, so no value outside it is ever converted.
    const double r = x >= 0.0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
    if (std::isnan(r)) {
      out[i] = 0;
      ++saturated;
    } else if (r > 2147483647.0) {
      out[i] = INT32_MAX;
      ++saturated;
    } else if (r < -2147483648.0) {
      out[i] = INT32_MIN;
      ++saturated;
    } else {
      out[i] = static_cast<int32_t>(r);
    }
  }
  return -saturated;
}

int vecToIntN(uint32_t n, int32_t factor, const double* a, int32_t* out) {
  if (factor == 1) return vecRoundN(n, a, out);
  for (uint32_t i = 0; i < n; ++i) out[i] = uRoundToIntB(0, a[i] * factor);
  return 0;
}
