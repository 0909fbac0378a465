// The point, line and circle routines in n dimensions.
#include "geometry/ngeom.h"

#include "core/debug.h"
#include "core/vec.h"

#include <cmath>
#include <cstring>

namespace {

double dot(int n, const double* a, const double* b) {
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += a[i] * b[i];
  return sum;
}

void cross(const double* a, const double* b, double* out) {
  const double x = a[1] * b[2] - a[2] * b[1];
  const double y = a[2] * b[0] - a[0] * b[2];
  const double z = a[0] * b[1] - a[1] * b[0];
  out[0] = x;
  out[1] = y;
  out[2] = z;
}

void copy3(double* out, const double* in) {
  if (out) std::memcpy(out, in, 3 * sizeof(double));
}

}  // namespace

int geomLinePtDist(int n, const double* a, const double* b, const double* p, uint32_t flags, double* tOut,
                   double* distSqOut, double* footOut) {
  if (n > geomMaxDim) {
    dbgPanic("MAXDIM exceeded in geomLinePtDist");
    return 0;
  }
  double d[geomMaxDim], w[geomMaxDim];
  for (int i = 0; i < n; ++i) {
    d[i] = b[i] - a[i];
    w[i] = p[i] - a[i];
  }
  const double length = dot(n, d, d);
  const double along = dot(n, w, d);
  double t = 0.0;
  int answer = 0;
  if (length < 1e-30) {
    t = 0.0;
  } else if (!(flags & geomUnclamped) && along < 0) {
    t = 0.0;
  } else if (!(flags & geomUnclamped) && along > length) {
    t = 1.0;
  } else {
    t = along / length;
    answer = 1;
  }
  double squared = 0.0;
  for (int i = 0; i < n; ++i) {
    const double off = w[i] - t * d[i];
    squared += off * off;
  }
  if (tOut) *tOut = t;
  if (distSqOut) *distSqOut = squared;
  if (footOut)
    for (int i = 0; i < n; ++i) footOut[i] = a[i] + t * d[i];
  return answer;
}

int geomLineLineClosest(const double* p1, const double* d1, const double* p2, const double* d2, double* sOut,
                        double* pt1Out, double* tOut, double* pt2Out) {
  double e[3], k1[3], k2[3];
  cross(d1, d2, e);
  cross(d1, e, k1);
  cross(d2, e, k2);
  const double k2d1 = dot(3, k2, d1);
  const double k1d2 = dot(3, k1, d2);
  if (std::fabs(k2d1) < 1e-30 || std::fabs(k1d2) < 1e-30) return -1;
  const double s = -(dot(3, k2, p1) - dot(3, k2, p2)) / k2d1;
  const double t = -(dot(3, k1, p2) - dot(3, k1, p1)) / k1d2;
  double q1[3], q2[3];
  for (int i = 0; i < 3; ++i) {
    q1[i] = p1[i] + s * d1[i];
    q2[i] = p2[i] + t * d2[i];
  }
  if (sOut) *sOut = s;
  if (tOut) *tOut = t;
  copy3(pt1Out, q1);
  copy3(pt2Out, q2);
  return s >= 0 && s <= 1 && t >= 0 && t <= 1 ? 1 : 0;
}

int geomLineIntersect(const double* p1, const double* d1, const double* p2, const double* d2, double tol,
                      uint32_t flags, double* sOut, double* pt1Out, double* tOut, double* pt2Out) {
  double e[3], k1[3], k2[3];
  cross(d1, d2, e);
  cross(d1, e, k1);
  cross(d2, e, k2);
  double q1[3], q2[3];
  copy3(q1, p1);
  copy3(q2, p2);
  double s = 0.0, t = 0.0;
  for (int round = 0; round < 2; ++round) {
    if (q1[0] == q2[0] && q1[1] == q2[1] && q1[2] == q2[2]) break;
    double gap[3];
    for (int i = 0; i < 3; ++i) gap[i] = q2[i] - q1[i];
    double ds = 0.0, dt = 0.0;
    if (uSafeDiv(dot(3, k2, gap), dot(3, k2, d1), &ds) != 0) return 0;
    if (uSafeDiv(-dot(3, k1, gap), dot(3, k1, d2), &dt) != 0) return 0;
    for (int i = 0; i < 3; ++i) {
      q1[i] += ds * d1[i];
      q2[i] += dt * d2[i];
    }
    s += ds;
    t += dt;
  }
  if (sOut) *sOut = s;
  if (tOut) *tOut = t;
  copy3(pt1Out, q1);
  copy3(pt2Out, q2);
  double apart = 0.0;
  for (int i = 0; i < 3; ++i) apart += (q2[i] - q1[i]) * (q2[i] - q1[i]);
  if (apart > tol * tol) return 0;
  if (!(flags & geomUnclamped) && (s < -tol || s > 1 + tol)) return 0;
  if (flags & geomFirstOnly) return 1;
  return t >= -tol && t <= 1 + tol ? 1 : 0;
}

int geomProjParam(int n, const double* p, const double* q, const double* d, double* out) {
  double value = 0.0;
  const int status = uSafeDiv(dot(n, d, p) - dot(n, d, q), dot(n, d, d), &value);
  if (status == 0 && out) *out = value;
  return status;
}

int geomLinePlaneParam(int n, const double* p, const double* nrm, const double* q, const double* d, double* out) {
  double value = 0.0;
  const int status = uSafeDiv(dot(n, nrm, p) - dot(n, nrm, q), dot(n, nrm, d), &value);
  if (status == 0 && out) *out = value;
  return status;
}

int geomLineCircleIsect(const double* p, const double* d, const double* centre, double radius, double* out1,
                        double* out2) {
  const double off[2] = {p[0] - centre[0], p[1] - centre[1]};
  const double a = dot(2, d, d);
  const double b = 2 * dot(2, d, off);
  const double c = dot(2, off, off) - radius * radius;
  const double disc = b * b - 4 * a * c;
  // A zero direction is no line: it meets nothing (rather than giving
  // not-a-number points as if it had met the circle).
  if (disc < 0 || !(a > 0)) return 1;
  const double root = std::sqrt(disc);
  const double s1 = (root - b) / (2 * a);
  const double s2 = (-root - b) / (2 * a);
  if (out1) {
    out1[0] = p[0] + s1 * d[0];
    out1[1] = p[1] + s1 * d[1];
  }
  if (out2) {
    out2[0] = p[0] + s2 * d[0];
    out2[1] = p[1] + s2 * d[1];
  }
  return 0;
}

int geomCircleCircleIsect(const double* c1, double r1, const double* c2, double r2, double* out1, double* out2) {
  const double d[2] = {c2[0] - c1[0], c2[1] - c1[1]};
  const double D = dot(2, d, d);
  if ((r1 + r2) * (r1 + r2) < D || (r2 - r1) * (r2 - r1) > D) return 1;
  // Concentric circles (equal radii included) have no chord to cut: the
  // formula below would divide by zero and give not-a-number points.
  if (!(D > 0)) return 1;
  const double along = (r1 * r1 - r2 * r2 + D) / (2 * D);
  const double foot[2] = {c1[0] + d[0] * along, c1[1] + d[1] * along};
  const double chord[2] = {-d[1], d[0]};
  if (std::fabs(r1) < std::fabs(r2)) return geomLineCircleIsect(foot, chord, c1, r1, out1, out2);
  return geomLineCircleIsect(foot, chord, c2, r2, out1, out2);
}
