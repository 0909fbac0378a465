// Two small curve classes for the intersection tests, answering only the
// curve messages the searches send (304, 307, 308, 311, 352, 405):
// "tgraph", a segment between two 3-D points or the graph y = f(x) of a
// parabola or a sine wave over x = x0 + w t; and "tcircle", an arc of a
// circle in the x-y plane. Both answer 311 with the subdivision search.
// Records live on the test's stack.
#ifndef PLUMET_TESTS_GEOMETRY_TESTCURVES_H
#define PLUMET_TESTS_GEOMETRY_TESTCURVES_H

#include "core/classes.h"
#include "geometry/crossings.h"
#include "objects/gobject.h"
#include "objects/nearcurve.h"
#include "objects/objmsg.h"

#include <algorithm>
#include <cmath>

namespace tcurves {

constexpr double kTwoPi = 6.283185307179586;

enum Kind { kSegment, kParabola, kSine };

struct Graph {
  gobjRec head;
  Kind kind;
  double p0[3], p1[3];     // segment
  double x0, w, a, b;      // x = x0 + w t; parabola a x^2 + b; sine a sin(2 pi b x)
};

struct Circle {
  gobjRec head;
  double c[2], r, a0, sweep;  // angles in turns
};

uint16_t graphClass();
uint16_t circleClass();

inline void graphAt(const Graph* g, double t, int mode, double* out) {
  if (g->kind == kSegment) {
    for (int k = 0; k < 3; ++k) out[k] = mode == 0 ? g->p0[k] + t * (g->p1[k] - g->p0[k]) : mode == 1 ? g->p1[k] - g->p0[k] : 0;
    return;
  }
  const double x = g->x0 + g->w * t;
  double y, dy;
  if (g->kind == kParabola) {
    y = g->a * x * x + g->b;
    dy = 2 * g->a * x;
  } else {
    y = g->a * std::sin(kTwoPi * g->b * x);
    dy = g->a * kTwoPi * g->b * std::cos(kTwoPi * g->b * x);
  }
  out[0] = mode == 0 ? x : g->w;
  out[1] = mode == 0 ? y : dy * g->w;
  out[2] = 0;
}

// The largest |y''| of the graph: how far a piece may bow from its chord.
inline double graphBend(const Graph* g) {
  if (g->kind == kSegment) return 0;
  if (g->kind == kParabola) return 2 * std::fabs(g->a);
  return std::fabs(g->a) * (kTwoPi * g->b) * (kTwoPi * g->b);
}

inline void circleAt(const Circle* c, double t, int mode, double* out) {
  const double a = kTwoPi * (c->a0 + c->sweep * t), k = kTwoPi * c->sweep;
  out[0] = mode == 0 ? c->c[0] + c->r * std::cos(a) : -c->r * k * std::sin(a);
  out[1] = mode == 0 ? c->c[1] + c->r * std::sin(a) : c->r * k * std::cos(a);
  out[2] = 0;
}

// The box of the two ends grown by the bow of the piece.
inline void boxOf(const double* p, const double* q, double grow, double* box) {
  for (int k = 0; k < 3; ++k) {
    box[k] = std::min(p[k], q[k]) - (k < 2 ? grow : 0);
    box[k + 3] = std::max(p[k], q[k]) + (k < 2 ? grow : 0);
  }
}

inline int graphHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* g = static_cast<Graph*>(object);
  switch (message) {
    case msgPointAtT: graphAt(g, *reinterpret_cast<const double*>(a), 0, reinterpret_cast<double*>(b)); return 0;
    case msgEvalAt: {
      auto* rec = reinterpret_cast<crvEvalRec*>(a);
      graphAt(g, rec->t, rec->mode, rec->out);
      return 0;
    }
    case msgBoxRange: {
      const double t0 = *reinterpret_cast<const double*>(a), t1 = *reinterpret_cast<const double*>(b);
      double p[3], q[3];
      graphAt(g, t0, 0, p);
      graphAt(g, t1, 0, q);
      const double h = g->w * (t1 - t0);
      boxOf(p, q, graphBend(g) * h * h / 8, reinterpret_cast<double*>(c));
      return 0;
    }
    case msgIsFlat: {
      const double t0 = *reinterpret_cast<const double*>(a), t1 = *reinterpret_cast<const double*>(b);
      const double h = g->w * (t1 - t0);
      return graphBend(g) * h * h / 8 < *reinterpret_cast<const double*>(c) ? 1 : 0;
    }
    case msgIsectRange:
      if (g->kind != kSegment) return -1;
      *reinterpret_cast<double*>(a) = -9.0;
      *reinterpret_cast<double*>(b) = 10.0;
      return 0;
    case 311: return crvCrossDefault(&g->head, reinterpret_cast<crvCrossRec*>(a));
    default: return objNotHandled;
  }
}

inline int circleHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* k = static_cast<Circle*>(object);
  switch (message) {
    case msgPointAtT: circleAt(k, *reinterpret_cast<const double*>(a), 0, reinterpret_cast<double*>(b)); return 0;
    case msgEvalAt: {
      auto* rec = reinterpret_cast<crvEvalRec*>(a);
      circleAt(k, rec->t, rec->mode, rec->out);
      return 0;
    }
    case msgBoxRange: {
      const double t0 = *reinterpret_cast<const double*>(a), t1 = *reinterpret_cast<const double*>(b);
      auto* box = reinterpret_cast<double*>(c);
      const double turn = std::fabs(k->sweep * (t1 - t0));
      if (turn >= 0.25) {
        const double centre[3] = {k->c[0], k->c[1], 0};
        boxOf(centre, centre, k->r, box);
      } else {
        double p[3], q[3];
        circleAt(k, t0, 0, p);
        circleAt(k, t1, 0, q);
        const double angle = kTwoPi * turn;
        boxOf(p, q, k->r * angle * angle / 8, box);
      }
      return 0;
    }
    case msgIsFlat: {
      const double t0 = *reinterpret_cast<const double*>(a), t1 = *reinterpret_cast<const double*>(b);
      const double angle = kTwoPi * k->sweep * (t1 - t0);
      return k->r * angle * angle / 8 < *reinterpret_cast<const double*>(c) ? 1 : 0;
    }
    case 311: return crvCrossDefault(&k->head, reinterpret_cast<crvCrossRec*>(a));
    default: return objNotHandled;
  }
}

inline uint16_t graphClass() {
  static const uint16_t id = objClassRegister("tgraph", 0, graphHandler);
  return id;
}
inline uint16_t circleClass() {
  static const uint16_t id = objClassRegister("tcircle", 0, circleHandler);
  return id;
}

inline Graph segment(double x0, double y0, double z0, double x1, double y1, double z1) {
  Graph g{};
  g.head.classId = graphClass();
  g.head.refCount = gobjPermanent;
  g.kind = kSegment;
  const double p[3] = {x0, y0, z0}, q[3] = {x1, y1, z1};
  std::copy(p, p + 3, g.p0);
  std::copy(q, q + 3, g.p1);
  g.w = 1;
  return g;
}

inline Graph graph(Kind kind, double x0, double w, double a, double b) {
  Graph g{};
  g.head.classId = graphClass();
  g.head.refCount = gobjPermanent;
  g.kind = kind;
  g.x0 = x0;
  g.w = w;
  g.a = a;
  g.b = b;
  return g;
}

inline Circle circle(double cx, double cy, double r, double a0, double sweep) {
  Circle k{};
  k.head.classId = circleClass();
  k.head.refCount = gobjPermanent;
  k.c[0] = cx;
  k.c[1] = cy;
  k.r = r;
  k.a0 = a0;
  k.sweep = sweep;
  return k;
}

}  // namespace tcurves

#endif
