// The builders of 4x4 transformations: translate, scale, mirror, rotate
// about an axis, rotate one point onto another, scale about a point. Each
// answers the input transformation followed by the new one; out may be the
// input matrix. Everything is built in locals.
#include "core/matrix.h"

#include "core/debug.h"
#include "core/vec.h"

#include <cstdint>

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Directions closer to parallel than this (the sine of their angle) have no
// usable common perpendicular.
constexpr double kParallel = 1e-12;

void logMatrix(const char* what, const double* m) {
  dbgPrintf("[aRotate] %s\n", what);
  for (int row = 0; row < 4; ++row) dbgPrintf("  %4R\n", m + 4 * row);
}

// Writes the images of p and of p plus each basis row of b under m.
void logImages(const double* m, const double* p, const double* b) {
  double image[3];
  aPtTransform(3, p, m, image);
  dbgPrintf("[aRotate] p %3R -> %3R\n", p, static_cast<const double*>(image));
  for (int row = 0; row < 3; ++row) {
    double q[3];
    vecAdd3(p, b + 4 * row, q);
    aPtTransform(3, q, m, image);
    dbgPrintf("[aRotate] p+e%ld %3R -> %3R\n", int32_t(row), static_cast<const double*>(q),
              static_cast<const double*>(image));
  }
}

// The frame of aPtRotate for one point: the identity with columns r, q and
// n, where r is the direction of (point - centre) with its part along n taken
// out and q = n x r. False when point - centre is zero or parallel to n (or
// n is zero).
bool pointFrame(const double* centre, const double* point, const double* n, double* frame) {
  double u[3], q[3], r[3];
  vecSub3(point, centre, u);
  if (!(vecLen3(u) > 0.0)) return false;
  vecNormalize3(u, u);
  vecCross3(n, u, q);
  const double sine = vecLen3(q);
  if (!(sine > kParallel * vecLen3(n))) return false;
  vecNormalize3(q, q);
  vecCross3(q, n, r);
  vecNormalize3(r, r);
  vecCopyN(16, kIdentity, frame);
  for (int i = 0; i < 3; ++i) {
    frame[4 * i + 0] = r[i];
    frame[4 * i + 1] = q[i];
    frame[4 * i + 2] = n[i];
  }
  return true;
}

}  // namespace

double* aTranslate(const double* m, const double* v, double* out) {
  const double x = v[0], y = v[1], z = v[2];
  vecCopyN(16, m, out);
  out[3] += x;
  out[7] += y;
  out[11] += z;
  return out;
}

double* xformPreTranslate(const double* m, const double* v, double* out) {
  const double dx = vecDot3(v, m), dy = vecDot3(v, m + 4), dz = vecDot3(v, m + 8);
  vecCopyN(16, m, out);
  out[3] += dx;
  out[7] += dy;
  out[11] += dz;
  return out;
}

double* aScale(const double* m, double factor, double* out) {
  vecScaleN(12, factor, m, out);
  vecCopyN(4, m + 12, out + 12);
  return out;
}

int aMirror(const double* m, const double* normal, double* out) {
  double reciprocal;
  if (uSafeDiv(1.0, vecDot3(normal, normal), &reciprocal) != 0) return matErrMirrorNormal;
  double reflection[16];
  vecCopyN(16, kIdentity, reflection);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) reflection[4 * i + j] -= 2.0 * normal[i] * reciprocal * normal[j];
  matMulN(4, m, reflection, out);
  return 0;
}

double* xformRotateZ(const double* m, double c, double s, double* out) {
  for (int col = 0; col < 4; ++col) {
    const double x = m[col], y = m[4 + col];
    out[col] = c * x - s * y;
    out[4 + col] = s * x + c * y;
  }
  vecCopyN(8, m + 8, out + 8);
  return out;
}

int aRotate(const double* m, const double* p, const double* d, double c, double s, double* out) {
  // The basis B with rows u, v, w (w the axis) takes the axis to z; the
  // rotation is then B^-1 Rz B about p, and B^-1 is the transpose of B.
  double w[3], u[3], v[3];
  if (!(vecLen3(d) > 0.0)) {
    vecCopyN(16, m, out);
    return -1;
  }
  vecNormalize3(d, w);
  double auxiliary[3] = {0.0, 0.0, 0.0};
  auxiliary[d[1] * d[1] <= d[0] * d[0] ? 1 : 0] = 1.0;
  vecCross3(auxiliary, w, u);
  if (!(vecLen3(u) > 0.0)) {
    vecCopyN(16, m, out);
    return -1;
  }
  vecNormalize3(u, u);
  vecCross3(w, u, v);

  double basis[16];
  vecCopyN(16, kIdentity, basis);
  vecCopy3(u, basis);
  vecCopy3(v, basis + 4);
  vecCopy3(w, basis + 8);

  double toAxis[16], fromAxis[16], negP[3];
  xformPreTranslate(basis, vecNeg3(p, negP), toAxis);
  aTranslate(matTransposeN(4, basis, fromAxis), p, fromAxis);

  double result[16];
  matMulN(4, m, toAxis, result);
  xformRotateZ(result, c, s, result);
  matMulN(4, result, fromAxis, result);

  if (dbgFlags()) {
    logMatrix("basis", basis);
    logMatrix("to axis", toAxis);
    logMatrix("from axis", fromAxis);
    logMatrix("result", result);
    logImages(result, p, basis);
  }
  vecCopyN(16, result, out);
  return 0;
}

int aPtRotate(const double* m, const double* c, const double* a, const double* b, const double* n, double* out) {
  double t[16], from[16], to[16], negC[3];
  aTranslate(m, vecNeg3(c, negC), t);
  if (!pointFrame(c, a, n, from) || !pointFrame(c, b, n, to)) return -1;
  if (matInvert(4, from, from, 1) != 0) return -1;
  matMulN(4, t, from, t);
  matMulN(4, t, to, t);
  aTranslate(t, c, out);
  return 0;
}

double* xformScaleAbout(const double* m, const double* p, double factor, double* out) {
  double negP[3];
  aTranslate(m, vecNeg3(p, negP), out);
  aScale(out, factor, out);
  return aTranslate(out, p, out);
}

double* aPtExpand(const double* m, const double* c, const double* a, const double* b, double* out) {
  double factor;
  if (uSafeDiv(vecDist3(b, c), vecDist3(a, c), &factor) != 0) factor = 1.0;
  return xformScaleAbout(m, c, factor, out);
}

double aPtDist(const double* a, const double* b) { return vecDist3(a, b); }

void matSelfCheck() {
  if (!dbgFlags()) return;
  const double origin[3] = {0.0, 0.0, 0.0};
  const double zAxis[3] = {0.0, 0.0, 1.0};
  const double centre[3] = {0.956, -2.393, 1.541};
  const double axis[3] = {0.608, 0.594, 0.525};
  struct {
    double degrees;
    const double* point;
    const double* direction;
  } const checks[] = {{30.0, origin, zAxis}, {45.0, centre, axis}};
  for (const auto& check : checks) {
    double c, s, result[16];
    angSinCos(check.degrees / 360.0, &c, &s);
    const int answer = aRotate(kIdentity, check.point, check.direction, c, s, result);
    dbgPrintf("[matSelfCheck] %g degrees about %3R through %3R: %ld\n", check.degrees, check.direction,
              check.point, int32_t(answer));
    for (int row = 0; row < 4; ++row) dbgPrintf("  %4R\n", result + 4 * row);
  }
}
