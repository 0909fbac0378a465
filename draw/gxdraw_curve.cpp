// Curves: cubic and rational Beziers flattened by subdivision, and arcs and
// ellipses, drawn by the device when it can and as Beziers otherwise.
#include "draw/gxdraw.h"
#include "draw/gxdraw_internal.h"
#include "draw/xforms.h"

#include "core/debug.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const double kTwoPi = 6.283185307179586;
const int kMaxDepth = 10;

struct Pt {
  double x, y;
};

Pt mid(Pt a, Pt b) { return Pt{(a.x + b.x) / 2, (a.y + b.y) / 2}; }

void segment(int draw, Pt p) {
  const double point[2] = {p.x, p.y};
  gxSegment(draw, point);
}

// The subdivision depth for a flatness m: how often m is quartered until
// it is at most 1, at most 10.
int depthFor(double m) {
  int n = 0;
  while (m > 1.0 && n < kMaxDepth) {
    m /= 4;
    ++n;
  }
  return n;
}

// Distance of q from the line through a with unit direction u.
double chordDistance(Pt u, Pt a, Pt q) { return std::fabs(u.x * (q.y - a.y) - u.y * (q.x - a.x)); }

// The culling box: x >= left, x < right, y >= top, y < bottom.
struct Box {
  bool any;
  double l, t, r, b;
};

int insideBits(const Box& box, Pt p) {
  return (p.x >= box.l ? 1 : 0) | (p.x < box.r ? 2 : 0) | (p.y >= box.t ? 4 : 0) | (p.y < box.b ? 8 : 0);
}

void cubic(const Box& box, const Pt* c, int depth) {
  if (box.any) {
    int bits = 0;
    for (int i = 0; i < 4; ++i) bits |= insideBits(box, c[i]);
    if (bits != 15) {
      segment(0, c[3]);
      return;
    }
  }
  const Pt p01 = mid(c[0], c[1]), p12 = mid(c[1], c[2]), p23 = mid(c[2], c[3]);
  const Pt p012 = mid(p01, p12), p123 = mid(p12, p23), m = mid(p012, p123);
  if (depth == 0) {
    segment(1, m);
    segment(1, c[3]);
    return;
  }
  const Pt left[4] = {c[0], p01, p012, m}, right[4] = {m, p123, p23, c[3]};
  cubic(box, left, depth - 1);
  cubic(box, right, depth - 1);
}

// Homogeneous control points (x w, y w, w), split at t = 0.5.
void rational(const std::vector<double>& c, int count, int depth) {
  if (depth == 0) {
    const double* last = &c[3 * (count - 1)];
    Pt p{last[0], last[1]};
    if (last[2] != 1.0) {
      if (last[2] == 0) return;
      p = Pt{last[0] / last[2], last[1] / last[2]};
    }
    segment(1, p);
    return;
  }
  std::vector<double> left(c.size()), right(c.size()), work(c);
  for (int level = 0; level < count; ++level) {
    for (int k = 0; k < 3; ++k) {
      left[3 * level + k] = work[k];
      right[3 * (count - 1 - level) + k] = work[3 * (count - 1 - level) + k];
    }
    for (int i = 0; i + 1 < count - level; ++i)
      for (int k = 0; k < 3; ++k) work[3 * i + k] = (work[3 * i + k] + work[3 * (i + 1) + k]) / 2;
  }
  rational(left, count, depth - 1);
  rational(right, count, depth - 1);
}

Pt arcPoint(const double* c, const double* a1, const double* a2, double turns) {
  const double t = turns * kTwoPi;
  return Pt{c[0] + a1[0] * std::cos(t) + a2[0] * std::sin(t), c[1] + a1[1] * std::cos(t) + a2[1] * std::sin(t)};
}

// The derivative of the arc point by the angle in radians.
Pt arcTangent(const double* a1, const double* a2, double turns) {
  const double t = turns * kTwoPi;
  return Pt{-a1[0] * std::sin(t) + a2[0] * std::cos(t), -a1[1] * std::sin(t) + a2[1] * std::cos(t)};
}

int roundInt(double v) { return int(std::floor(v + 0.5)); }

// The device box of an arc it can draw: axis-aligned, or a circle rotated
// or mirrored within a quarter pixel. False when the device cannot.
bool deviceBox(const double* c, const double* a1, const double* a2, RECT* box) {
  double rx, ry;
  if ((a1[1] == 0 && a2[0] == 0) || (a1[0] == 0 && a2[1] == 0)) {
    rx = std::fabs(a1[0]) + std::fabs(a2[0]);
    ry = std::fabs(a1[1]) + std::fabs(a2[1]);
  } else if ((std::fabs(a1[0] - a2[1]) < 0.25 && std::fabs(a2[0] + a1[1]) < 0.25) ||
             (std::fabs(a2[1] + a1[0]) < 0.25 && std::fabs(a1[1] - a2[0]) < 0.25)) {
    rx = ry = std::hypot(a2[0], a2[1]);
  } else {
    return false;
  }
  const double l = std::floor(c[0] - rx + 0.5), r = std::floor(c[0] + rx + 0.5);
  const double t = std::floor(c[1] - ry + 0.5), b = std::floor(c[1] + ry + 0.5);
  if (l < -32768 || t < -32768 || r > 32767 || b > 32767) return false;
  if (r - l < 3 || b - t < 3 || r - l >= 32767 || b - t >= 32767) return false;
  // The device box excludes its right and bottom edges.
  *box = RECT{int(l), int(t), int(r) + 1, int(b) + 1};
  return true;
}

// Draws the arc with the device; false when the device call failed.
bool deviceArc(const double* c, const double* a1, const double* a2, double start, double sweep, const RECT& box) {
  HDC dc = gx.dc;
  if (std::fabs(sweep) >= 1) {
    HGDIOBJ old = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    const BOOL ok = Ellipse(dc, box.left, box.top, box.right, box.bottom);
    SelectObject(dc, old);
    return ok;
  }
  const Pt s = arcPoint(c, a1, a2, start), e = arcPoint(c, a1, a2, start + sweep);
  POINT p0{roundInt(s.x), roundInt(s.y)}, p1{roundInt(e.x), roundInt(e.y)};
  const POINT end = p1;
  if (p0.x == p1.x && p0.y == p1.y && std::fabs(sweep) < 0.25) {
    gxdPutPixel(p0.x, p0.y, gx.rgb);
    return true;
  }
  // The device draws counter-clockwise as seen on the screen (y down): the
  // arc runs that way when its axes turn clockwise in screen coordinates
  // and the sweep is negative, or anticlockwise and the sweep positive;
  // otherwise its ends are exchanged.
  const bool leftHanded = a2[1] * a1[0] < a2[0] * a1[1];
  if (leftHanded == (sweep < 0)) std::swap(p0, p1);
  const bool printing = gx.window == gxWindowPushed;
  if (printing || !((p0.x < 0 && p0.y < 0) || (p1.x < 0 && p1.y < 0))) {
    dbgPrintf("draw by Arc: MapMode = %d\n", GetMapMode(dc));
    dbgPrintf("b0:%d, %d, b1:%d, %d\n", box.left, box.top, box.right, box.bottom);
    dbgPrintf("pt0:%d, %d, pt1:%d, %d\n", p0.x, p0.y, p1.x, p1.y);
  }
  if (!Arc(dc, box.left, box.top, box.right, box.bottom, p0.x, p0.y, p1.x, p1.y)) return false;
  MoveToEx(dc, end.x, end.y, nullptr);
  if (!gxNoEndPixel()) gxdPutPixel(end.x, end.y, gx.rgb);
  return true;
}

}  // namespace

void gxBezier(const double p1[2], const double p2[2], const double p3[2]) {
  double p0[2];
  gxSegmentPos(p0);
  const Pt c[4] = {{p0[0], p0[1]}, {p1[0], p1[1]}, {p2[0], p2[1]}, {p3[0], p3[1]}};
  Box box{};
  double screen[4];
  if (vwCurScreenBox(screen)) box = Box{true, screen[0], screen[1], screen[2], screen[3]};
  const double len = std::hypot(c[3].x - c[0].x, c[3].y - c[0].y);
  if (len > 0) {
    const Pt u{(c[3].x - c[0].x) / len, (c[3].y - c[0].y) / len};
    const double m = std::max(chordDistance(u, c[0], c[1]), chordDistance(u, c[3], c[2]));
    cubic(box, c, depthFor(m));
  }
  segment(0, c[3]);
}

void gxBezierN(int count, const double* points) {
  if (count < 2 || !points) return;
  std::vector<Pt> plain(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double w = points[3 * i + 2];
    if (w == 0) return;
    plain[size_t(i)] = Pt{points[3 * i] / w, points[3 * i + 1] / w};
  }
  const Pt a = plain.front(), b = plain.back();
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  double m = 0;
  if (len > 0) {
    const Pt u{(b.x - a.x) / len, (b.y - a.y) / len};
    for (int i = 1; i + 1 < count; ++i) m = std::max(m, chordDistance(u, a, plain[size_t(i)]));
  }
  rational(std::vector<double>(points, points + 3 * count), count, depthFor(m));
}

int gxArcBeziers(const double centre[2], const double a1[2], const double a2[2], double start, double sweep,
                 double* out, int max) {
  int n = 1;
  double step = sweep;
  while (std::fabs(step) > 0.2) {
    step /= 2;
    n *= 2;
  }
  const double h = step * kTwoPi / 2;
  const double den = 3 * std::sin(h);
  if (den == 0) return 0;
  const double k = (4 - 4 * std::cos(h)) / den;
  if (n > max || !out) return n;
  const Pt first = arcPoint(centre, a1, a2, start);
  out[0] = first.x;
  out[1] = first.y;
  for (int i = 0; i < n; ++i) {
    const double t0 = start + i * step, t1 = start + (i + 1) * step;
    const Pt p0 = arcPoint(centre, a1, a2, t0), p1 = arcPoint(centre, a1, a2, t1);
    // k carries the sign of the sweep, so k times the tangent per radian
    // points along the arc.
    const Pt d0 = arcTangent(a1, a2, t0), d1 = arcTangent(a1, a2, t1);
    double* seg = out + 2 + 6 * i;
    seg[0] = p0.x + k * d0.x;
    seg[1] = p0.y + k * d0.y;
    seg[2] = p1.x - k * d1.x;
    seg[3] = p1.y - k * d1.y;
    seg[4] = p1.x;
    seg[5] = p1.y;
  }
  return n;
}

void gxArc(const double centre[2], const double axisPoint1[2], const double axisPoint2[2], double start,
           double sweep) {
  if (!gx.dc && !gxGetSlot(gxSlotSegment)) return;
  const double a1[2] = {axisPoint1[0] - centre[0], axisPoint1[1] - centre[1]};
  const double a2[2] = {axisPoint2[0] - centre[0], axisPoint2[1] - centre[1]};
  const bool full = std::fabs(sweep) >= 1;
  const bool ellipse = std::fabs(std::hypot(a1[0], a1[1]) - std::hypot(a2[0], a2[1])) >= 1e-8;
  RECT box;
  if (gx.dc && !gxPolyCollecting() && (full || !ellipse) && deviceBox(centre, a1, a2, &box) &&
      deviceArc(centre, a1, a2, start, sweep, box))
    return;
  if (full) sweep = sweep < 0 ? -1 : 1;
  const int n = gxArcBeziers(centre, a1, a2, start, sweep, nullptr, 0);
  if (!n) return;
  std::vector<double> points(size_t(2 + 6 * n));
  gxArcBeziers(centre, a1, a2, start, sweep, points.data(), n);
  gxSegment(0, points.data());
  for (int i = 0; i < n; ++i) {
    const double* seg = &points[size_t(2 + 6 * i)];
    gxBezier(seg, seg + 2, seg + 4);
  }
}
