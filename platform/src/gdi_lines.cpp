// Lines: pen masks and their painting, MoveToEx, LineTo, Polyline and
// LineDDA. LineTo and LineDDA cover every point from the start up to but not
// including the end.
#include "gdi_stroke.h"

#include <algorithm>

namespace pl::gdi {

PixelMask::PixelMask(const RECT& bounds) : box(bounds) {
  if (isEmpty(box)) box = RECT{0, 0, 0, 0};
  cells.assign(static_cast<size_t>(box.right - box.left) * static_cast<size_t>(box.bottom - box.top), kNone);
}

uint8_t PixelMask::get(int x, int y) const {
  if (x < box.left || y < box.top || x >= box.right || y >= box.bottom) return kNone;
  return cells[static_cast<size_t>(y - box.top) * (box.right - box.left) + (x - box.left)];
}

void PixelMask::mark(int x, int y, uint8_t value) {
  if (x < box.left || y < box.top || x >= box.right || y >= box.bottom) return;
  uint8_t& c = cells[static_cast<size_t>(y - box.top) * (box.right - box.left) + (x - box.left)];
  if (c != kPen) c = value;
}

const Pen& penOf(Dc* dc) {
  if (const Pen* p = findPen(dc->pen)) return *p;
  return *findPen(stockObject(BLACK_PEN));
}

void markPen(PixelMask& mask, const Pen& pen, int x, int y, uint8_t value) {
  if (!isWide(pen)) {
    mask.mark(x, y, value);
    return;
  }
  // A disc of the pen's width centred on the point (between pixels when even).
  const int w = pen.width, lo = -(w / 2);
  const double c = w % 2 ? 0.0 : 0.5, r2 = w * w / 4.0;
  for (int j = lo; j < lo + w; ++j)
    for (int i = lo; i < lo + w; ++i)
      if ((i + c) * (i + c) + (j + c) * (j + c) <= r2 + 1e-9) mask.mark(x + i, y + j, value);
}

void markPolyline(PixelMask& mask, const Pen& pen, const std::vector<POINT>& points, int& phase) {
  const bool dotted = isDotted(pen);
  auto visit = [&](int x, int y) {
    const uint8_t v = dotted && (phase++ & 1) ? PixelMask::kGap : PixelMask::kPen;
    markPen(mask, pen, x, y, v);
  };
  const LONG reach = isWide(pen) ? pen.width : 0;
  for (size_t i = 1; i < points.size(); ++i) {
    const POINT a = points[i - 1], b = points[i];
    // Segments that miss the mask are skipped rather than walked point by point.
    const RECT span{std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach, std::max(a.x, b.x) + reach + 1,
                    std::max(a.y, b.y) + reach + 1};
    if (isEmpty(intersect(span, mask.box))) continue;
    walkLine(a, b, visit);
  }
  if (isWide(pen) && !points.empty()) markPen(mask, pen, points.back().x, points.back().y, PixelMask::kPen);
}

void paintMask(Dc* dc, const PixelMask& mask, const Pen& pen) {
  Painter painter;
  if (!painter.begin(dc, true)) return;
  const uint32_t on = toPixel(pen.color, *painter.surface);
  const uint32_t gap = toPixel(dc->bkColor, *painter.surface);
  const bool opaque = dc->bkMode == OPAQUE;
  for (int y = mask.box.top; y < mask.box.bottom; ++y)
    for (int x = mask.box.left; x < mask.box.right; ++x) {
      const uint8_t c = mask.get(x, y);
      if (c == PixelMask::kPen)
        painter.plot(x, y, on);
      else if (c == PixelMask::kGap && opaque)
        painter.plot(x, y, gap);
    }
}

RECT strokeBox(const std::vector<POINT>& points, const Pen& pen, const Surface& surface) {
  if (points.empty()) return RECT{0, 0, 0, 0};
  RECT r{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
  for (const POINT& p : points) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x + 1);
    r.bottom = std::max(r.bottom, p.y + 1);
  }
  const LONG reach = isWide(pen) ? pen.width : 0;
  r = RECT{r.left - reach, r.top - reach, r.right + reach, r.bottom + reach};
  return intersect(r, RECT{0, 0, surface.width, surface.height});
}

}  // namespace pl::gdi

using namespace pl::gdi;

// Strokes a polyline of logical points with the DC's pen.
static void strokePolyline(Dc* dc, const std::vector<POINT>& logical) {
  const Pen& pen = penOf(dc);
  Surface* surface = surfaceOf(dc);
  if (isNullPen(pen) || !surface) return;
  std::vector<POINT> points;
  for (const POINT& p : logical) points.push_back(toDevice(dc, p));
  PixelMask mask(strokeBox(points, pen, *surface));
  markPolyline(mask, pen, points, dc->dotPhase);
  paintMask(dc, mask, pen);
}

extern "C" BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  Dc* dc = findDc(hdc);
  if (!dc) return FALSE;
  logCall("MoveToEx", {x, y});
  if (lppt) *lppt = dc->pos;
  dc->pos = POINT{x, y};
  dc->dotPhase = 0;
  return TRUE;
}

extern "C" BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  Dc* dc = findDc(hdc);
  if (!dc) return FALSE;
  logCall("LineTo", {x, y});
  strokePolyline(dc, {dc->pos, POINT{x, y}});
  dc->pos = POINT{x, y};
  return TRUE;
}

extern "C" BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  Dc* dc = findDc(hdc);
  if (!dc || !apt || cpt < 2) return FALSE;
  logCall("Polyline", {cpt});
  dc->dotPhase = 0;
  strokePolyline(dc, std::vector<POINT>(apt, apt + cpt));
  return TRUE;
}

extern "C" BOOL WINAPI LineDDA(int xStart, int yStart, int xEnd, int yEnd, LINEDDAPROC lpProc, LPARAM data) {
  if (!lpProc) return FALSE;
  walkLine(POINT{xStart, yStart}, POINT{xEnd, yEnd}, [&](int x, int y) { lpProc(x, y, data); });
  return TRUE;
}
