// Colours into pixels, the sixteen binary raster operations, the painter that
// puts pixels through a DC's clip region, brush spans, and the calls that set
// pixels and fill rectangles without ROP2: SetPixel, FillRect, InvertRect.
#include "gdi.h"

#include <algorithm>

namespace pl::gdi {

uint32_t toPixel(COLORREF color, bool mono) {
  const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  if (mono) return r + g + b >= 384 ? 0xFFFFFF : 0x000000;
  return (r << 16) | (g << 8) | b;
}

uint32_t toPixel(COLORREF color, const Surface& surface) { return toPixel(color, surface.mono()); }

uint32_t applyRop2(int rop2, uint32_t pen, uint32_t dest) {
  // R2_ codes minus one are truth tables: bit (2 * pen + dest) is the result.
  const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
  uint32_t out = 0;
  if (table & 1) out |= ~pen & ~dest;
  if (table & 2) out |= ~pen & dest;
  if (table & 4) out |= pen & ~dest;
  if (table & 8) out |= pen & dest;
  return out & 0xFFFFFF;
}

bool Painter::begin(Dc* dc, bool useRop2) {
  surface = surfaceOf(dc);
  if (!surface) return false;
  clip = clipRects(dc, *surface);
  rop2 = useRop2 ? dc->rop2 : R2_COPYPEN;
  return true;
}

void Painter::plot(int x, int y, uint32_t pixel) {
  if (!clipContains(clip, x, y)) return;
  uint32_t& d = surface->row(y)[x];
  d = rop2 == R2_COPYPEN ? pixel : applyRop2(rop2, pixel, d);
  if (surface->mono()) d = d & 0xFFFFFF ? 0xFFFFFF : 0;
}

void Painter::span(int x0, int x1, int y, uint32_t pixel) {
  for (const RECT& r : clip) {
    if (y < r.top || y >= r.bottom) continue;
    const int a = std::max<int>(x0, r.left), b = std::min<int>(x1, r.right);
    uint32_t* row = surface->row(y);
    for (int x = a; x < b; ++x) row[x] = rop2 == R2_COPYPEN ? pixel : applyRop2(rop2, pixel, row[x]);
  }
}

// Whether the 8x8 hatch of style hatch has a line through pixel (x, y).
static bool hatchBit(int hatch, int x, int y) {
  x &= 7;
  y &= 7;
  switch (hatch) {
    case HS_HORIZONTAL: return y == 0;
    case HS_VERTICAL: return x == 0;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x == 7 - y;
    case HS_CROSS: return x == 0 || y == 0;
    case HS_DIAGCROSS: return x == y || x == 7 - y;
    default: return false;
  }
}

void Painter::brushSpan(Dc* dc, const Brush& brush, int x0, int x1, int y) {
  const bool mono = surface->mono();
  switch (brush.style) {
    case BS_SOLID: span(x0, x1, y, toPixel(brush.color, mono)); return;
    case BS_HATCHED: {
      const uint32_t line = toPixel(brush.color, mono), back = toPixel(dc->bkColor, mono);
      for (int x = x0; x < x1; ++x) {
        if (hatchBit(brush.hatch, x - dc->brushOrg.x, y - dc->brushOrg.y))
          plot(x, y, line);
        else if (dc->bkMode == OPAQUE)
          plot(x, y, back);
      }
      return;
    }
    case BS_PATTERN: {
      const Surface* p = brush.pattern.get();
      if (!p || p->width <= 0 || p->height <= 0) return;
      const uint32_t fore = toPixel(dc->textColor, mono), back = toPixel(dc->bkColor, mono);
      const int py = ((y - dc->brushOrg.y) % p->height + p->height) % p->height;
      for (int x = x0; x < x1; ++x) {
        const int px = ((x - dc->brushOrg.x) % p->width + p->width) % p->width;
        uint32_t v = p->get(px, py);
        if (p->mono()) v = v ? back : fore;
        else if (mono) v = toPixel(toColorRef(v), true);
        plot(x, y, v);
      }
      return;
    }
    default: return;  // BS_NULL
  }
}

}  // namespace pl::gdi

using namespace pl::gdi;

static COLORREF putPixel(HDC hdc, int x, int y, COLORREF color) {
  Dc* dc = findDc(hdc);
  Painter painter;
  if (!dc || !painter.begin(dc, false)) return CLR_INVALID;
  const POINT p = toDevice(dc, x, y);
  if (!clipContains(painter.clip, p.x, p.y)) return CLR_INVALID;
  painter.plot(p.x, p.y, toPixel(color, *painter.surface));
  return toColorRef(painter.surface->get(p.x, p.y));
}

extern "C" COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  logCall("SetPixel", {x, y, static_cast<long long>(color)});
  return putPixel(hdc, x, y, color);
}

extern "C" BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  logCall("SetPixelV", {x, y, static_cast<long long>(color)});
  return putPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

extern "C" COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  Dc* dc = findDc(hdc);
  Surface* s = surfaceOf(dc);
  if (!s) return CLR_INVALID;
  const POINT p = toDevice(dc, x, y);
  if (!clipContains(clipRects(dc, *s), p.x, p.y)) return CLR_INVALID;
  return toColorRef(s->get(p.x, p.y));
}

// A brush handle or a system colour index plus one, as FillRect takes them.
static const Brush* brushOf(HBRUSH hbr) {
  const auto value = reinterpret_cast<uintptr_t>(hbr);
  if (value > 0 && value <= 31) return findBrush(GetSysColorBrush(static_cast<int>(value - 1)));
  return findBrush(hbr);
}

// Fills a logical rectangle with a brush, without ROP2.
static bool fillWith(Dc* dc, const RECT& r, const Brush& brush) {
  Painter painter;
  if (!painter.begin(dc, false)) return false;
  const POINT a = toDevice(dc, r.left, r.top), b = toDevice(dc, r.right, r.bottom);
  for (int y = a.y; y < b.y; ++y) painter.brushSpan(dc, brush, a.x, b.x, y);
  return true;
}

extern "C" int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  Dc* dc = findDc(hDC);
  const Brush* brush = brushOf(hbr);
  if (!dc || !lprc || !brush) return 0;
  logCall("FillRect", {lprc->left, lprc->top, lprc->right, lprc->bottom});
  return fillWith(dc, *lprc, *brush) ? 1 : 0;
}

extern "C" BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
  Dc* dc = findDc(hDC);
  Painter painter;
  if (!dc || !lprc || !painter.begin(dc, false)) return FALSE;
  logCall("InvertRect", {lprc->left, lprc->top, lprc->right, lprc->bottom});
  painter.rop2 = R2_NOT;
  const POINT a = toDevice(dc, lprc->left, lprc->top), b = toDevice(dc, lprc->right, lprc->bottom);
  for (int y = a.y; y < b.y; ++y) painter.span(a.x, b.x, y, 0);
  return TRUE;
}

extern "C" BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
  Dc* dc = findDc(hdc);
  Region* region = findRegion(hrgn);
  const Brush* brush = brushOf(hbr);
  if (!dc || !region || !brush) return FALSE;
  logCall("FillRgn", {});
  for (const RECT& r : region->rects)
    if (!fillWith(dc, r, *brush)) return FALSE;
  return TRUE;
}
