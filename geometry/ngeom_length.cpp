// The length of a curve: Romberg integration of its speed.
#include "geometry/ngeom.h"

#include "geometry/curve.h"

#include <cmath>

namespace {

// |C'(t)|: the length of the first derivative the curve gives (message 308
// in mode 1).
double speed(gobjRec* curve, double t) {
  double d[3];
  crvPointAt(curve, t, 1, 0, d);
  return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

}  // namespace

int geomCurveLength(gobjRec* curve, double t0, double t1, double tol, double* out) {
  // Row 0: the trapezoid sum over four intervals.
  double h = (t1 - t0) / 4;
  double trapezoid =
      h * ((speed(curve, t0) + speed(curve, t1)) / 2 + speed(curve, t0 + h) + speed(curve, t0 + 2 * h) +
           speed(curve, t0 + 3 * h));
  // The previous row's extrapolations.
  double previous[geomLengthRows];
  previous[0] = trapezoid;
  long newPoints = 4;
  for (int row = 1; row < geomLengthRows; ++row) {
    // Halve the step and add the new midpoints t0 + h, t0 + 3h, ...
    h /= 2;
    double sum = 0.0;
    for (long i = 0; i < newPoints; ++i) sum += speed(curve, t0 + double(2 * i + 1) * h);
    trapezoid = trapezoid / 2 + h * sum;
    newPoints *= 2;
    // Richardson extrapolation along the row.
    double current = trapezoid;
    double factor = 1.0;
    for (int k = 1; k <= row; ++k) {
      factor *= 4;
      const double extrapolated = current + (current - previous[k - 1]) / (factor - 1);
      if (std::fabs(current - extrapolated) < tol) {
        if (out) *out = extrapolated;
        return 0;
      }
      previous[k - 1] = current;
      current = extrapolated;
    }
    previous[row] = current;
  }
  if (out) *out = 0.0;
  return 1;
}
