// The false-position search both curve-intersection searches share: a
// parameter in [t0, t1] where a signed side function changes sign.
#ifndef PLUMET_GEOMETRY_FALSEPOS_H
#define PLUMET_GEOMETRY_FALSEPOS_H

#include "core/vec.h"

#include <cmath>

// side(s) is the signed distance at parameter s; da and db are its values
// at t0 and t1. Answers false when both ends lie on one side or a step
// cannot be divided; otherwise *tOut is an end within tol, a parameter
// where |side| < tol, or the end a step left the interval by. At most 100
// steps.
template <class Side>
bool geomFalsePosition(double t0, double t1, double da, double db, double tol, Side side, double* tOut) {
  if (da * db > 0) return false;
  if (std::fabs(da) < tol) {
    *tOut = t0;
    return true;
  }
  if (std::fabs(db) < tol) {
    *tOut = t1;
    return true;
  }
  double sa = t0, sb = t1;
  for (int step = 0; step < 100; ++step) {
    double s;
    if (uSafeDiv(da * (sb - sa), db - da, &s) != 0) return false;
    s = sa - s;
    if (s <= t0 || s >= t1) {
      *tOut = s <= t0 ? t0 : t1;
      return true;
    }
    const double ds = side(s);
    if (std::fabs(ds) < tol) {
      *tOut = s;
      return true;
    }
    if ((ds < 0) == (da < 0)) {
      sa = s;
      da = ds;
    } else {
      sb = s;
      db = ds;
    }
  }
  return false;
}

#endif
