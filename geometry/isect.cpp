// Crossings on the screen: subdivision of two curves in the current view's
// screen space with a deadline, false position on flat pieces and a Newton
// solve at depth 6.
#include "geometry/isect.h"


#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/proginfo.h"
#include "core/vec.h"
#include "draw/csys.h"
#include "draw/xforms.h"
#include "geometry/curve.h"
#include "geometry/falsepos.h"
#include "objects/objmsg.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNewtonDepth = 6;
constexpr double kTiny = 1e-8;

// The list being filled and the deadline of the search in progress.
struct SearchState {
  crvIsectList* list = nullptr;
  uint32_t deadline = 0;
};
SearchState current;

// A piece of a curve with its screen box (min x, min y, max x, max y) and
// the screen points of its ends.
struct Piece {
  gobjRec* curve;
  double t0, t1;
  double box[4];
  double s0[3], s1[3];
};

bool pastDeadline() { return current.deadline != 0 && uTicks() > current.deadline; }

void screenPoint(gobjRec* curve, double t, double* out) {
  double world[3];
  crvPointAt(curve, t, 0, 0, world);
  vwWorldToScreen(world, out);
}

// The screen point and the screen derivative at t: the world derivative
// through the current transform, with the perspective division's rule.
void screenTangent(gobjRec* curve, double t, double* point, double* tangent) {
  double p[3], d[3];
  crvPointAt(curve, t, 0, 0, p);
  crvPointAt(curve, t, 1, 0, d);
  const double* m = csysTransform();
  double r[4], dr[4];
  for (int k = 0; k < 4; ++k) {
    r[k] = m[4 * k] * p[0] + m[4 * k + 1] * p[1] + m[4 * k + 2] * p[2] + m[4 * k + 3];
    dr[k] = m[4 * k] * d[0] + m[4 * k + 1] * d[1] + m[4 * k + 2] * d[2];
  }
  vwWorldToScreen(p, point);
  if (r[3] == 0 || r[3] == 1) {
    tangent[0] = dr[0];
    tangent[1] = dr[1];
  } else {
    tangent[0] = (dr[0] - point[0] * dr[3]) / r[3];
    tangent[1] = (dr[1] - point[1] * dr[3]) / r[3];
  }
}

Piece makePiece(gobjRec* curve, double t0, double t1) {
  Piece p{};
  p.curve = curve;
  p.t0 = t0;
  p.t1 = t1;
  screenPoint(curve, t0, p.s0);
  screenPoint(curve, t1, p.s1);
  double world0[3], world1[3], box[6];
  crvPointAt(curve, t0, 0, 0, world0);
  crvPointAt(curve, t1, 0, 0, world1);
  for (int k = 0; k < 3; ++k) {
    box[k] = std::min(world0[k], world1[k]);
    box[k + 3] = std::max(world0[k], world1[k]);
  }
  objMeth(curve->classId, msgBoxRange, curve, reinterpret_cast<intptr_t>(&p.t0), reinterpret_cast<intptr_t>(&p.t1),
          reinterpret_cast<intptr_t>(box));
  for (int c = 0; c < 8; ++c) {
    const double corner[3] = {box[(c & 1) ? 3 : 0], box[(c & 2) ? 4 : 1], box[(c & 4) ? 5 : 2]};
    double s[3];
    vwWorldToScreen(corner, s);
    if (c == 0) {
      p.box[0] = p.box[2] = s[0];
      p.box[1] = p.box[3] = s[1];
    } else {
      p.box[0] = std::min(p.box[0], s[0]);
      p.box[1] = std::min(p.box[1], s[1]);
      p.box[2] = std::max(p.box[2], s[0]);
      p.box[3] = std::max(p.box[3], s[1]);
    }
  }
  return p;
}

bool isFlat(const Piece& p) {
  const double tol = kTiny;
  return objMeth(p.curve->classId, msgIsFlat, p.curve, reinterpret_cast<intptr_t>(&p.t0),
                 reinterpret_cast<intptr_t>(&p.t1), reinterpret_cast<intptr_t>(&tol)) != 0;
}

bool boxesOverlap(const double* a, const double* b) {
  constexpr double kSlack = 1e-12;
  return a[0] <= b[2] + kSlack && b[0] <= a[2] + kSlack && a[1] <= b[3] + kSlack && b[1] <= a[3] + kSlack;
}

// The signed distance of q from the line of the chord c0-c1 (0 for a chord
// of no length).
double chordSide(const double* c0, const double* c1, const double* q) {
  const double ux = c1[0] - c0[0], uy = c1[1] - c0[1];
  const double len = std::hypot(ux, uy);
  if (len == 0.0) return 0.0;
  return (ux * (q[1] - c0[1]) - uy * (q[0] - c0[0])) / len;
}

// Whether the box grown by kTiny has corners on both sides of the chord.
bool boxStraddles(const double* box, const double* c0, const double* c1) {
  bool below = false, above = false;
  for (int c = 0; c < 4; ++c) {
    const double q[2] = {(c & 1) ? box[2] + kTiny : box[0] - kTiny, (c & 2) ? box[3] + kTiny : box[1] - kTiny};
    const double d = chordSide(c0, c1, q);
    below = below || d <= 0;
    above = above || d >= 0;
  }
  return below && above;
}

// False position on x's parameter against the line of y's chord.
bool chordSolve(const Piece& x, const Piece& y, double* tOut) {
  const double da = chordSide(y.s0, y.s1, x.s0), db = chordSide(y.s0, y.s1, x.s1);
  auto side = [&](double s) {
    double q[3];
    screenPoint(x.curve, s, q);
    return chordSide(y.s0, y.s1, q);
  };
  return geomFalsePosition(x.t0, x.t1, da, db, kTiny, side, tOut);
}

void solveChords(const Piece& a, const Piece& b) {
  double sa, sb;
  if (chordSolve(a, b, &sa) && chordSolve(b, a, &sb)) vinter(a.curve, sa, b.curve, sb);
}

bool within(double t, const Piece& p, double slack) { return t >= p.t0 - slack && t <= p.t1 + slack; }

// P_A(s) = P_B(t) on the screen from the pieces' middles.
bool newtonSolve(const Piece& a, const Piece& b, double* sOut, double* tOut) {
  double s = 0.5 * (a.t0 + a.t1), t = 0.5 * (b.t0 + b.t1);
  const double la = a.t1 - a.t0, lb = b.t1 - b.t0;
  for (int step = 0; step < 32; ++step) {
    double pa[3], pb[3], da[2], db[2];
    screenTangent(a.curve, s, pa, da);
    screenTangent(b.curve, t, pb, db);
    const double gx = pb[0] - pa[0], gy = pb[1] - pa[1];
    if (std::hypot(gx, gy) < kTiny) break;
    // da ds - db dt = g.
    const double cross = da[0] * db[1] - da[1] * db[0];
    if (std::fabs(cross) < kTiny * std::hypot(da[0], da[1]) * std::hypot(db[0], db[1])) return false;
    double ds, dt;
    if (uSafeDiv(gx * db[1] - gy * db[0], cross, &ds) != 0) return false;
    if (uSafeDiv(da[1] * gx - da[0] * gy, cross, &dt) != 0) return false;
    s += ds;
    t += dt;
    if (step >= 5) {
      if (ds == 0.0 && dt == 0.0) break;
      if (!within(s, a, la) || !within(t, b, lb)) return false;
    }
  }
  double pa[3], pb[3];
  screenPoint(a.curve, s, pa);
  screenPoint(b.curve, t, pb);
  if (std::hypot(pb[0] - pa[0], pb[1] - pa[1]) >= kTiny) return false;
  if (!within(s, a, 1e-6) || !within(t, b, 1e-6)) return false;
  *sOut = s;
  *tOut = t;
  return true;
}

double extent(const Piece& p) { return std::fabs(p.box[2] - p.box[0]) + std::fabs(p.box[3] - p.box[1]); }

void search(const Piece& a, const Piece& b, int depth) {
  if (pastDeadline()) return;
  if (!boxesOverlap(a.box, b.box)) return;
  const bool flatA = isFlat(a), flatB = isFlat(b);
  if (flatA && flatB) {
    solveChords(a, b);
    return;
  }
  if (flatA && !boxStraddles(b.box, a.s0, a.s1)) return;
  if (flatB && !boxStraddles(a.box, b.s0, b.s1)) return;
  if (depth >= kNewtonDepth) {
    double s, t;
    if (newtonSolve(a, b, &s, &t)) vinter(a.curve, s, b.curve, t);
    return;
  }
  const bool splitA = !flatA && extent(a) > kTiny, splitB = !flatB && extent(b) > kTiny;
  if (!splitA && !splitB) {
    solveChords(a, b);
    return;
  }
  Piece as[2], bs[2];
  int na = 1, nb = 1;
  as[0] = a;
  bs[0] = b;
  if (splitA) {
    const double m = 0.5 * (a.t0 + a.t1);
    as[0] = makePiece(a.curve, a.t0, m);
    as[1] = makePiece(a.curve, m, a.t1);
    na = 2;
  }
  if (splitB) {
    const double m = 0.5 * (b.t0 + b.t1);
    bs[0] = makePiece(b.curve, b.t0, m);
    bs[1] = makePiece(b.curve, m, b.t1);
    nb = 2;
  }
  for (int i = 0; i < na; ++i)
    for (int j = 0; j < nb; ++j) search(as[i], bs[j], depth + 1);
}

// The curve's search interval.
void interval(gobjRec* curve, uint32_t flags, double* t0, double* t1) {
  *t0 = -0.001;
  *t1 = 1.001;
  if (flags & crvIsectExtend)
    objMeth(curve->classId, msgIsectRange, curve, reinterpret_cast<intptr_t>(t0), reinterpret_cast<intptr_t>(t1));
}

}  // namespace

int crvIntersectList(gobjRec* curveA, uint32_t flagsA, gobjRec* curveB, uint32_t flagsB, crvIsectList* list,
                     uint32_t deadline) {
  if (!curveA || !curveB || curveA == curveB) return 0;
  const SearchState saved = current;
  current.list = list;
  current.deadline = deadline;
  if (!pastDeadline()) {
    double a0, a1, b0, b1;
    interval(curveA, flagsA, &a0, &a1);
    interval(curveB, flagsB, &b0, &b1);
    search(makePiece(curveA, a0, a1), makePiece(curveB, b0, b1), 0);
  }
  current = saved;
  return 0;
}

int crvIntersect(gobjRec* curveA, uint32_t flagsA, gobjRec* curveB, uint32_t flagsB, uint32_t* count,
                 uint32_t* capacity, crvIsectEntry** entriesA, crvIsectEntry** entriesB, uint32_t deadline) {
  crvIsectList list{*count, *capacity, *entriesA, *entriesB};
  crvIntersectList(curveA, flagsA, curveB, flagsB, &list, deadline);
  *count = list.count;
  *capacity = list.capacity;
  *entriesA = list.entriesA;
  *entriesB = list.entriesB;
  return 0;
}

void vinter(gobjRec* curveA, double tA, gobjRec* curveB, double tB) {
  crvIsectList* list = current.list;
  if (!list) return;
  if (dbgFlags()) dbgPrintf("vinter: t1: %g, t2: %g\n", tA, tB);
  if (list->count >= list->capacity) {
    const uint32_t capacity = list->capacity + 4;
    uint32_t n = list->capacity;
    uAlloc(&list->entriesA, &n, capacity, sizeof(crvIsectEntry));
    n = list->capacity;
    uAlloc(&list->entriesB, &n, capacity, sizeof(crvIsectEntry));
    list->capacity = capacity;
  }
  crvIsectEntry& a = list->entriesA[list->count];
  crvIsectEntry& b = list->entriesB[list->count];
  a.t = tA;
  crvPointAt(curveA, tA, 0, 0, a.point);
  b.t = tB;
  crvPointAt(curveB, tB, 0, 0, b.point);
  ++list->count;
}

void crvIsectListFree(crvIsectList* list) {
  if (!list) return;
  uFreeIfSet(&list->entriesA);
  uFreeIfSet(&list->entriesB);
  list->count = 0;
  list->capacity = 0;
}
