// Shapes: Rectangle, Ellipse, Arc and Polygon. Boxes exclude their right and
// bottom edges. A shape's interior takes the brush and its outline the pen,
// both through the DC's ROP2; the brush never paints a pixel the pen paints.
#include "gdi_stroke.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace pl::gdi;

constexpr double kTwoPi = 6.283185307179586;

// A device box with left <= right and top <= bottom.
RECT deviceBox(Dc* dc, int left, int top, int right, int bottom) {
  const POINT a = toDevice(dc, left, top), b = toDevice(dc, right, bottom);
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

RECT grow(const RECT& r, const Pen& pen, const Surface& s) {
  const LONG reach = isWide(pen) ? pen.width : 0;
  return intersect(RECT{r.left - reach, r.top - reach, r.right + reach, r.bottom + reach}, RECT{0, 0, s.width, s.height});
}

// Fills rows of the interior: inside(x, y) says which pixels belong to it;
// pixels the pen marked are left to the pen.
template <class Inside>
void fillInterior(Dc* dc, const RECT& box, const PixelMask& outline, Inside inside) {
  const Brush* brush = findBrush(dc->brush);
  if (!brush || brush->style == BS_NULL) return;
  Painter painter;
  if (!painter.begin(dc, true)) return;
  const RECT area = intersect(box, RECT{0, 0, painter.surface->width, painter.surface->height});
  for (int y = area.top; y < area.bottom; ++y) {
    int x = area.left;
    while (x < area.right) {
      while (x < area.right && (outline.get(x, y) || !inside(x, y))) ++x;
      const int start = x;
      while (x < area.right && !outline.get(x, y) && inside(x, y)) ++x;
      if (x > start) painter.brushSpan(dc, *brush, start, x, y);
    }
  }
}

// The outline pixels of the ellipse inscribed in a device box, sorted
// counter-clockwise (as seen on screen) from the positive x axis.
struct EllipseOutline {
  double cx, cy;
  std::vector<POINT> points;
  std::vector<double> angles;
  std::vector<std::pair<int, int>> rows;  // per row of the box: leftmost and rightmost outline pixel
};

double angleOf(double cx, double cy, double x, double y) {
  const double a = std::atan2(-(y - cy), x - cx);
  return a < 0 ? a + kTwoPi : a;
}

EllipseOutline ellipseOutline(const RECT& box) {
  EllipseOutline e;
  const int w = box.right - box.left, h = box.bottom - box.top;
  e.cx = box.left + (w - 1) / 2.0;
  e.cy = box.top + (h - 1) / 2.0;
  const double a = (w - 1) / 2.0, b = (h - 1) / 2.0;
  auto extent = [](double d, double semi, double other) {
    const double f = semi > 0 ? 1 - (d / semi) * (d / semi) : 1;
    return other * std::sqrt(std::max(0.0, f));
  };
  std::vector<POINT> found;
  for (int x = box.left; x < box.right; ++x) {
    const int top = static_cast<int>(std::floor(e.cy - extent(x - e.cx, a, b) + 0.5));
    found.push_back(POINT{x, top});
    found.push_back(POINT{x, box.top + box.bottom - 1 - top});
  }
  for (int y = box.top; y < box.bottom; ++y) {
    const int left = static_cast<int>(std::floor(e.cx - extent(y - e.cy, b, a) + 0.5));
    const int right = box.left + box.right - 1 - left;
    found.push_back(POINT{left, y});
    found.push_back(POINT{right, y});
    e.rows.emplace_back(left, right);
  }
  std::vector<std::pair<double, POINT>> sorted;
  for (const POINT& p : found) sorted.emplace_back(angleOf(e.cx, e.cy, p.x, p.y), p);
  std::sort(sorted.begin(), sorted.end(), [](const auto& l, const auto& r) {
    if (l.first != r.first) return l.first < r.first;
    return l.second.x != r.second.x ? l.second.x < r.second.x : l.second.y < r.second.y;
  });
  for (size_t i = 0; i < sorted.size(); ++i) {
    if (i && sorted[i].second.x == sorted[i - 1].second.x && sorted[i].second.y == sorted[i - 1].second.y) continue;
    e.points.push_back(sorted[i].second);
    e.angles.push_back(sorted[i].first);
  }
  return e;
}

// Marks the outline points whose angle passes keep, dotting in order.
template <class Keep>
void markOutline(PixelMask& mask, const Pen& pen, const EllipseOutline& e, Keep keep) {
  int phase = 0;
  for (size_t i = 0; i < e.points.size(); ++i) {
    if (!keep(e.angles[i])) continue;
    const uint8_t v = isDotted(pen) && (phase++ & 1) ? PixelMask::kGap : PixelMask::kPen;
    markPen(mask, pen, e.points[i].x, e.points[i].y, v);
  }
}

// Draws a polygon (closed) of device points: the interior by the fill rule,
// then the outline.
void drawPolygon(Dc* dc, const std::vector<POINT>& points) {
  Surface* surface = surfaceOf(dc);
  if (!surface || points.size() < 2) return;
  const Pen& pen = penOf(dc);
  RECT box = bounds(std::vector<RECT>{});
  for (const POINT& p : points) {
    const RECT one{p.x, p.y, p.x + 1, p.y + 1};
    box = isEmpty(box) ? one : bounds({box, one});
  }
  PixelMask outline(grow(box, pen, *surface));
  std::vector<POINT> closed = points;
  closed.push_back(points.front());
  int phase = 0;
  if (!isNullPen(pen)) markPolyline(outline, pen, closed, phase);

  // Pixel centres (x + 0.5, y + 0.5) inside the polygon by the DC's fill rule.
  const bool winding = dc->polyFillMode == WINDING;
  int row = box.top - 1;
  std::vector<std::pair<double, int>> crossings;
  auto inside = [&](int x, int y) {
    if (y != row) {
      row = y;
      crossings.clear();
      const double yc = y + 0.5;
      for (size_t i = 0; i + 1 < closed.size(); ++i) {
        const POINT a = closed[i], b = closed[i + 1];
        if (a.y == b.y) continue;
        const double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
        if (yc < lo || yc >= hi) continue;
        crossings.emplace_back(a.x + (yc - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y), a.y < b.y ? 1 : -1);
      }
      std::sort(crossings.begin(), crossings.end());
    }
    const double xc = x + 0.5;
    int count = 0;
    for (const auto& [cx, dir] : crossings) {
      if (cx > xc) break;
      count += winding ? dir : 1;
    }
    return winding ? count != 0 : (count & 1) != 0;
  };
  fillInterior(dc, box, outline, inside);
  paintMask(dc, outline, pen);
}

// A shape call's DC, surface, device box and pen.
struct ShapeCall {
  Dc* dc = nullptr;
  Surface* surface = nullptr;
  RECT box{};
  const Pen* pen = nullptr;
};

// Starts a shape call: logs it and finds what it draws with. False when
// there is nothing to draw; result is then the call's answer.
bool beginShape(HDC hdc, const char* name, std::initializer_list<long long> args, const RECT& logical, ShapeCall& call,
                BOOL& result) {
  call.dc = findDc(hdc);
  result = call.dc ? TRUE : FALSE;
  if (!call.dc) return false;
  logCall(name, args);
  call.surface = surfaceOf(call.dc);
  call.box = deviceBox(call.dc, logical.left, logical.top, logical.right, logical.bottom);
  call.pen = &penOf(call.dc);
  return call.surface && !isEmpty(call.box);
}

}  // namespace

extern "C" BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  ShapeCall call;
  BOOL result;
  if (!beginShape(hdc, "Rectangle", {left, top, right, bottom}, RECT{left, top, right, bottom}, call, result))
    return result;
  const auto& [dc, surface, box, penOfCall] = call;
  const Pen& pen = *penOfCall;
  PixelMask outline(grow(box, pen, *surface));
  RECT fill = box;
  if (isNullPen(pen)) {
    fill.right -= 1;  // without a pen the brush covers one pixel less each way
    fill.bottom -= 1;
  } else {
    int phase = 0;
    markPolyline(outline, pen,
                 {POINT{box.left, box.top}, POINT{box.right - 1, box.top}, POINT{box.right - 1, box.bottom - 1},
                  POINT{box.left, box.bottom - 1}, POINT{box.left, box.top}},
                 phase);
    if (isWide(pen)) markPen(outline, pen, box.left, box.top, PixelMask::kPen);
  }
  fillInterior(dc, fill, outline, [](int, int) { return true; });
  paintMask(dc, outline, pen);
  return TRUE;
}

extern "C" BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  ShapeCall call;
  BOOL result;
  if (!beginShape(hdc, "Ellipse", {left, top, right, bottom}, RECT{left, top, right, bottom}, call, result))
    return result;
  const auto& [dc, surface, box, penOfCall] = call;
  const Pen& pen = *penOfCall;
  const EllipseOutline e = ellipseOutline(box);
  PixelMask outline(grow(box, pen, *surface));
  if (!isNullPen(pen)) markOutline(outline, pen, e, [](double) { return true; });
  // The top row is captured by value: clang 14 cannot capture a structured binding.
  fillInterior(dc, box, outline, [&e, top = box.top](int x, int y) {
    const auto& [l, r] = e.rows[static_cast<size_t>(y - top)];
    return x >= l && x <= r;
  });
  paintMask(dc, outline, pen);
  return TRUE;
}

extern "C" BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  ShapeCall call;
  BOOL result;
  if (!beginShape(hdc, "Arc", {x1, y1, x2, y2, x3, y3, x4, y4}, RECT{x1, y1, x2, y2}, call, result)) return result;
  const auto& [dc, surface, box, penOfCall] = call;
  const Pen& pen = *penOfCall;
  if (isNullPen(pen)) return TRUE;
  const EllipseOutline e = ellipseOutline(box);
  const POINT s = toDevice(dc, x3, y3), f = toDevice(dc, x4, y4);
  const double start = angleOf(e.cx, e.cy, s.x, s.y);
  double sweep = std::fmod(angleOf(e.cx, e.cy, f.x, f.y) - start + kTwoPi, kTwoPi);
  if (sweep < 1e-12) sweep = kTwoPi;  // equal rays: the whole ellipse
  PixelMask outline(grow(box, pen, *surface));
  markOutline(outline, pen, e, [&](double angle) {
    return std::fmod(angle - start + kTwoPi, kTwoPi) <= sweep + 1e-9;
  });
  paintMask(dc, outline, pen);
  return TRUE;
}

extern "C" BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
  Dc* dc = findDc(hdc);
  if (!dc || !apt || cpt < 2) return FALSE;
  logCall("Polygon", {cpt});
  std::vector<POINT> points;
  for (int i = 0; i < cpt; ++i) points.push_back(toDevice(dc, apt[i]));
  drawPolygon(dc, points);
  return TRUE;
}
