// Crossings of two curves in space: crvCrossCount and the curve default of
// message 311, a subdivision of both curves in world coordinates with
// straight-chord solves on flat pieces and a Newton solve on deep ones.
#include "geometry/crossings.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/vec.h"
#include "geometry/curve.h"
#include "geometry/falsepos.h"
#include "objects/objmsg.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNewtonDepth = 8;
constexpr double kNear = 1e-8;

// A piece of a curve: its interval, its box and its end points.
struct Piece {
  gobjRec* curve;
  double t0, t1;
  double box[6];
  double p0[3], p1[3];
};

void pointAtT(gobjRec* curve, double t, double* out) {
  out[0] = out[1] = out[2] = 0.0;
  objMeth(curve->classId, msgPointAtT, curve, reinterpret_cast<intptr_t>(&t), reinterpret_cast<intptr_t>(out));
}

void tangentAt(gobjRec* curve, double t, double* out) { crvPointAt(curve, t, 1, 0, out); }

Piece makePiece(gobjRec* curve, double t0, double t1) {
  Piece p{};
  p.curve = curve;
  p.t0 = t0;
  p.t1 = t1;
  pointAtT(curve, t0, p.p0);
  pointAtT(curve, t1, p.p1);
  // The ends' box stands when the class has no box of its own.
  for (int k = 0; k < 3; ++k) {
    p.box[k] = std::min(p.p0[k], p.p1[k]);
    p.box[k + 3] = std::max(p.p0[k], p.p1[k]);
  }
  objMeth(curve->classId, msgBoxRange, curve, reinterpret_cast<intptr_t>(&p.t0), reinterpret_cast<intptr_t>(&p.t1),
          reinterpret_cast<intptr_t>(p.box));
  return p;
}

bool isFlat(const Piece& p, double tol) {
  return objMeth(p.curve->classId, msgIsFlat, p.curve, reinterpret_cast<intptr_t>(&p.t0),
                 reinterpret_cast<intptr_t>(&p.t1), reinterpret_cast<intptr_t>(&tol)) != 0;
}

bool boxesApart(const double* a, const double* b, double gap) {
  for (int k = 0; k < 3; ++k)
    if (a[k] - b[k + 3] >= gap || b[k] - a[k + 3] >= gap) return true;
  return false;
}

bool boxMeetsClip(const double* box, const double* clip) {
  for (int k = 0; k < 2; ++k)
    if (box[k] > clip[k + 3] || clip[k] > box[k + 3]) return false;
  return true;
}

// Whether the segment p0-p1 passes through the box grown by g on every
// side (slabs).
bool segmentMeetsBox(const double* p0, const double* p1, const double* box, double g) {
  double lo = 0.0, hi = 1.0;
  for (int k = 0; k < 3; ++k) {
    const double d = p1[k] - p0[k], min = box[k] - g, max = box[k + 3] + g;
    if (d == 0.0) {
      if (p0[k] < min || p0[k] > max) return false;
      continue;
    }
    double a = (min - p0[k]) / d, b = (max - p0[k]) / d;
    if (a > b) std::swap(a, b);
    lo = std::max(lo, a);
    hi = std::min(hi, b);
    if (lo > hi) return false;
  }
  return true;
}

// A unit vector perpendicular to u: the one in the plane of u and v, else
// (v along u) in the plane of u and w, else any.
void inPlaneNormal(const double* u, const double* v, const double* w, double* n) {
  double c[3];
  vecCross3(u, v, c);
  if (vecLen3(c) <= 1e-12 * vecLen3(u) * vecLen3(v)) vecCross3(u, w, c);
  if (vecLen3(c) <= 1e-12 * vecLen3(u) * vecLen3(w)) {
    // u alone: cross it with the axis it leans on least.
    const double ax[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    int k = 0;
    for (int i = 1; i < 3; ++i)
      if (std::fabs(u[i]) < std::fabs(u[k])) k = i;
    vecCross3(u, ax[k], c);
  }
  vecCross3(c, u, n);
  vecNormalize3(n, n);
}

double distToLine(const double* p, const double* c0, const double* u) {
  double w[3], c[3];
  vecSub3(p, c0, w);
  const double len = vecLen3(u);
  if (len == 0.0) return vecLen3(w);
  return vecLen3(vecCross3(w, u, c)) / len;
}

// Where piece x crosses the chord of piece y, measured along the normal of
// y's chord within the plane of the two chords; false position on x's
// parameter.
bool chordSolve(const Piece& x, const Piece& y, double tol, double* tOut) {
  double u[3], v[3], w[3], n[3];
  vecSub3(y.p1, y.p0, u);
  if (vecLen3(u) == 0.0) return false;
  vecSub3(x.p1, x.p0, v);
  vecSub3(x.p0, y.p0, w);
  inPlaneNormal(u, v, w, n);

  // An end of x on y's chord line at one of y's ends is taken at once.
  const double* ends[2] = {x.p0, x.p1};
  const double ts[2] = {x.t0, x.t1};
  for (int e = 0; e < 2; ++e) {
    if (distToLine(ends[e], y.p0, u) < kNear &&
        (vecDist3(ends[e], y.p0) < kNear || vecDist3(ends[e], y.p1) < kNear)) {
      *tOut = ts[e];
      return true;
    }
  }

  double d[3];
  const double da = vecDot3(vecSub3(x.p0, y.p0, d), n), db = vecDot3(vecSub3(x.p1, y.p0, d), n);
  auto side = [&](double s) {
    double p[3], e[3];
    pointAtT(x.curve, s, p);
    return vecDot3(vecSub3(p, y.p0, e), n);
  };
  return geomFalsePosition(x.t0, x.t1, da, db, tol, side, tOut);
}

enum NewtonResult { newtonFailed, newtonFound, newtonLeft };

// P_A(s) = P_B(t) from the pieces' middles, at most 32 steps.
NewtonResult newtonSolve(const Piece& a, const Piece& b, double tol, double* sOut, double* tOut) {
  double s = 0.5 * (a.t0 + a.t1), t = 0.5 * (b.t0 + b.t1);
  const double la = a.t1 - a.t0, lb = b.t1 - b.t0;
  for (int step = 0; step < 32; ++step) {
    double pa[3], pb[3], g[3];
    pointAtT(a.curve, s, pa);
    pointAtT(b.curve, t, pb);
    vecSub3(pb, pa, g);
    if (vecLen3(g) < tol / 4) {
      if (s < a.t0 - 1e-6 || s > a.t1 + 1e-6 || t < b.t0 - 1e-6 || t > b.t1 + 1e-6) return newtonLeft;
      *sOut = s;
      *tOut = t;
      return newtonFound;
    }
    double da[3], db[3];
    tangentAt(a.curve, s, da);
    tangentAt(b.curve, t, db);
    // da ds - db dt = g.
    double ds, dt;
    if (std::fabs(da[2]) >= 1e-12 || std::fabs(db[2]) >= 1e-12) {
      double c[3], gb[3], ga[3];
      vecCross3(da, db, c);
      const double cc = vecDot3(c, c);
      if (uSafeDiv(vecDot3(vecCross3(g, db, gb), c), cc, &ds) != 0) return newtonFailed;
      if (uSafeDiv(vecDot3(vecCross3(g, da, ga), c), cc, &dt) != 0) return newtonFailed;
    } else {
      const double det = da[1] * db[0] - da[0] * db[1];
      const double scale = std::fabs(da[1] * db[0]) + std::fabs(da[0] * db[1]);
      if (std::fabs(det) < 1e-8 * scale || scale == 0.0) return newtonFailed;
      if (uSafeDiv(g[1] * db[0] - g[0] * db[1], det, &ds) != 0) return newtonFailed;
      if (uSafeDiv(da[0] * g[1] - da[1] * g[0], det, &dt) != 0) return newtonFailed;
    }
    s += ds;
    t += dt;
    if (s < a.t0 - la || s > a.t1 + la || t < b.t0 - lb || t > b.t1 + lb) return newtonLeft;
  }
  return newtonFailed;
}

// x, then y, then z; coordinates closer than tol are equal.
int comparePoints(const double* p, const double* q, double tol) {
  for (int k = 0; k < 3; ++k) {
    if (std::fabs(p[k] - q[k]) < tol) continue;
    return p[k] < q[k] ? -1 : 1;
  }
  return 0;
}

void record(crvCrossRec* rec, gobjRec* curveA, double tA, gobjRec* curveB, double tB) {
  crvCrossSearch& s = rec->result.search;
  if (s.count >= crvCrossMax) return;
  double pa[3], pb[3], mid[3];
  pointAtT(curveA, tA, pa);
  pointAtT(curveB, tB, pb);
  vecAdd3(pa, pb, mid);
  vecScale3(0.5, mid, mid);
  if (rec->clipBox) {
    const double* c = rec->clipBox;
    if (mid[0] < c[0] || mid[0] > c[3] || mid[1] < c[1] || mid[1] > c[4]) return;
  }
  // Bisection for the place in the sorted index; an equal point is a
  // crossing already stored.
  uint32_t lo = 0, hi = s.count;
  while (lo < hi) {
    const uint32_t m = (lo + hi) / 2;
    const int c = comparePoints(mid, s.entries[s.sorted[m]].point, s.tol);
    if (c == 0) return;
    if (c < 0)
      hi = m;
    else
      lo = m + 1;
  }
  if (s.count == s.capacity) {
    const uint32_t capacity = 2 * s.capacity + 4;
    uint32_t n = s.capacity;
    uAlloc(&s.entries, &n, capacity, sizeof(crvCrossEntry));
    n = s.capacity;
    uAlloc(&s.sorted, &n, capacity, sizeof(uint32_t));
    s.capacity = capacity;
  }
  crvCrossEntry& e = s.entries[s.count];
  vecCopy3(mid, e.point);
  e.curveA = curveA;
  e.tA = tA;
  e.curveB = curveB;
  e.tB = tB;
  std::copy_backward(s.sorted + lo, s.sorted + s.count, s.sorted + s.count + 1);
  s.sorted[lo] = s.count;
  ++s.count;
}

// Both pieces solved against the other's chord; recorded when both find a
// crossing and the two points do not lie apart across the plane of the
// chords (skew pieces whose chords only seem to cross).
void solveChords(crvCrossRec* rec, const Piece& a, const Piece& b) {
  const double tol = rec->result.search.tol;
  double sa, sb;
  if (!chordSolve(a, b, tol, &sa) || !chordSolve(b, a, tol, &sb)) return;
  double u[3], v[3], c[3], pa[3], pb[3], g[3];
  vecSub3(a.p1, a.p0, u);
  vecSub3(b.p1, b.p0, v);
  vecCross3(u, v, c);
  const double lc = vecLen3(c);
  if (lc > 1e-12 * vecLen3(u) * vecLen3(v)) {
    pointAtT(a.curve, sa, pa);
    pointAtT(b.curve, sb, pb);
    if (std::fabs(vecDot3(vecSub3(pa, pb, g), c)) / lc > tol) return;
  }
  record(rec, a.curve, sa, b.curve, sb);
}

double diagonal(const Piece& p) {
  return std::fabs(p.box[3] - p.box[0]) + std::fabs(p.box[4] - p.box[1]) + std::fabs(p.box[5] - p.box[2]);
}

void split(const Piece& p, Piece* halves) {
  const double m = 0.5 * (p.t0 + p.t1);
  halves[0] = makePiece(p.curve, p.t0, m);
  halves[1] = makePiece(p.curve, m, p.t1);
}

void search(crvCrossRec* rec, const Piece& a, const Piece& b, int depth) {
  const crvCrossSearch& s = rec->result.search;
  if (s.count >= crvCrossMax) return;
  if (boxesApart(a.box, b.box, s.tolSmall)) return;
  if (rec->clipBox && (!boxMeetsClip(a.box, rec->clipBox) || !boxMeetsClip(b.box, rec->clipBox))) return;

  const bool flatA = isFlat(a, s.tol), flatB = isFlat(b, s.tol);
  if (flatA && flatB) {
    solveChords(rec, a, b);
    return;
  }
  if (flatA && !segmentMeetsBox(a.p0, a.p1, b.box, s.tol / 4)) return;
  if (flatB && !segmentMeetsBox(b.p0, b.p1, a.box, s.tol / 4)) return;

  if (depth >= kNewtonDepth) {
    double sa, sb;
    const NewtonResult r = newtonSolve(a, b, s.tol, &sa, &sb);
    if (r == newtonFound) record(rec, a.curve, sa, b.curve, sb);
    if (r != newtonFailed || depth > kNewtonDepth) return;
  }

  const bool splitA = !flatA && diagonal(a) > s.tol, splitB = !flatB && diagonal(b) > s.tol;
  if (!splitA && !splitB) {
    solveChords(rec, a, b);
    return;
  }
  Piece as[2], bs[2];
  int na = 1, nb = 1;
  if (splitA) {
    split(a, as);
    na = 2;
  } else {
    as[0] = a;
  }
  if (splitB) {
    split(b, bs);
    nb = 2;
  } else {
    bs[0] = b;
  }
  for (int i = 0; i < na; ++i)
    for (int j = 0; j < nb; ++j) search(rec, as[i], bs[j], depth + 1);
}

void releaseNothing(crvCrossRec*) {}

void releaseSearch(crvCrossRec* rec) {
  crvCrossSearch& s = rec->result.search;
  uFreeIfSet(&s.entries);
  uFreeIfSet(&s.sorted);
  s.count = 0;
  s.capacity = 0;
}

void searchPointAt(crvCrossRec* rec, int i, double* out) {
  const crvCrossSearch& s = rec->result.search;
  if (i < 0 || uint32_t(i) >= s.count) return;
  crvPoint(rec->curveA, s.entries[i].tA, out);
}

void searchParamsAt(crvCrossRec* rec, int i, double* tA, double* tB) {
  const crvCrossSearch& s = rec->result.search;
  if (i < 0 || uint32_t(i) >= s.count) return;
  if (tA) *tA = s.entries[i].tA;
  if (tB) *tB = s.entries[i].tB;
}

}  // namespace

int crvCrossCount(crvCrossRec* rec) {
  rec->release = releaseNothing;
  if (!rec->curveA) return 0;
  return objMeth(rec->curveA->classId, msgCrossings, rec->curveA, reinterpret_cast<intptr_t>(rec));
}

int crvCrossDefault(gobjRec* curveA, crvCrossRec* rec) {
  rec->curveA = curveA;
  rec->pointAt = searchPointAt;
  rec->paramsAt = searchParamsAt;
  rec->release = releaseSearch;
  crvCrossSearch& s = rec->result.search;
  s = crvCrossSearch{};
  s.tol = rec->tol;
  s.tolSmall = rec->tol / 1000;
  gobjRec* curveB = rec->curveB;
  if (!curveA || !curveB || curveA == curveB) return 0;
  const Piece a = makePiece(curveA, 0.0, 1.0), b = makePiece(curveB, 0.0, 1.0);
  search(rec, a, b, 0);
  return int(s.count);
}
