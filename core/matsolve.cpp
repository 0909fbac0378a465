#include "core/matsolve.h"

#include <cmath>

namespace {
constexpr double kTiny = 1e-10;
}

extern "C" int matSolveN(int32_t n, double** rows, double* x) {
  if (n < 0 || n > matSolveMaxN) return matSolveErrSize;

  // The scale of each row: its largest coefficient in magnitude.
  double scale[matSolveMaxN];
  for (int32_t i = 0; i < n; ++i) {
    double big = 0.0;
    for (int32_t j = 0; j < n; ++j) big = std::fmax(big, std::fabs(rows[i][j]));
    if (big < kTiny) return matSolveErrZeroRow;
    scale[i] = big;
  }

  for (int32_t k = 0; k < n; ++k) {
    // The pivot: the largest scaled element of column k; a later row wins
    // only when strictly larger.
    int32_t pivot = k;
    double best = std::fabs(rows[k][k]) / scale[k];
    for (int32_t i = k + 1; i < n; ++i) {
      const double ratio = std::fabs(rows[i][k]) / scale[i];
      if (ratio > best) {
        best = ratio;
        pivot = i;
      }
    }
    if (pivot != k) {
      double* row = rows[k];
      rows[k] = rows[pivot];
      rows[pivot] = row;
      const double s = scale[k];
      scale[k] = scale[pivot];
      scale[pivot] = s;
    }
    double* p = rows[k];
    const double a = p[k];
    if (std::fabs(a) < kTiny) return matSolveErrPivot;
    for (int32_t j = k; j <= n; ++j) p[j] /= a;
    for (int32_t i = k + 1; i < n; ++i) {
      double* r = rows[i];
      const double f = r[k];
      for (int32_t j = k; j <= n; ++j) r[j] -= f * p[j];
    }
  }

  for (int32_t i = n - 1; i >= 0; --i) {
    const double* r = rows[i];
    if (std::fabs(r[i]) < kTiny) return matSolveErrDiagonal;
    double sum = r[n];
    for (int32_t j = i + 1; j < n; ++j) sum += r[j] * x[j];
    x[i] = -sum;
  }
  return 0;
}
