// Planes from points and normals, lines and points against planes, and the
// common point of three planes.
#include "geometry/plane.h"

#include "core/matsolve.h"
#include "core/vec.h"

#include <cmath>

int planeFromNormal(const double* normal, const double* point, planeRec* out) {
  const double d = -vecDot3(normal, point);
  vecCopy3(normal, out->n);
  out->d = d;
  return 0;
}

planeRec* planeSetNormal(const double* normal, const double* point, planeRec* out) {
  planeFromNormal(normal, point, out);
  return out;
}

int planeFrom3Pts(const double* p0, const double* p1, const double* p2, planeRec* out) {
  double a[3], b[3], n[3];
  vecSub3(p2, p1, a);
  vecSub3(p0, p1, b);
  vecCross3(a, b, n);
  return planeFromNormal(n, p1, out);
}

int planeBisector(const double* p0, const double* p1, planeRec* out) {
  double n[3], mid[3];
  vecSub3(p0, p1, n);
  vecAdd3(p0, p1, mid);
  vecScale3(0.5, mid, mid);
  return planeFromNormal(n, mid, out);
}

int planeLineHit(const double* direction, const double* point, const planeRec* plane, double* out) {
  // Copied first: out may be the point, or the direction may be out.
  const double dir[3] = {direction[0], direction[1], direction[2]};
  vecCopy3(point, out);
  const double den = -vecDot3(dir, plane->n);
  if (std::fabs(den) < 1e-8) return -1;
  // One step lands on the plane in exact arithmetic; the further ones take
  // up the rounding of a long step.
  for (int step = 0; step < 8; ++step) {
    const double r = vecDot3(plane->n, out) + plane->d;
    double s;
    if (r == 0.0 || uSafeDiv(r, den, &s) != 0) break;
    vecAxpy3(s, out, dir, out);
  }
  return 0;
}

int planeProjectPt(const double* point, const planeRec* plane, double* out) {
  return planeLineHit(plane->n, point, plane, out);
}

int planeMeet3(const planeRec* plane0, const planeRec* plane1, const planeRec* plane2, double* out) {
  double r0[4] = {plane0->n[0], plane0->n[1], plane0->n[2], plane0->d};
  double r1[4] = {plane1->n[0], plane1->n[1], plane1->n[2], plane1->d};
  double r2[4] = {plane2->n[0], plane2->n[1], plane2->n[2], plane2->d};
  double* rows[3] = {r0, r1, r2};
  double x[3];
  const int answer = matSolveN(3, rows, x);
  if (answer == 0) vecCopy3(x, out);
  return answer;
}
