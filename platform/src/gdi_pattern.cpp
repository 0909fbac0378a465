// Pattern brushes (CreatePatternBrush) and the pixel any brush gives at a
// device point, which the blits combine with their raster operation.
#include "gdi.h"

namespace pl::gdi {

bool brushPixel(const Dc& dc, const Brush& brush, int x, int y, bool mono, uint32_t* out) {
  switch (brush.style) {
    case BS_SOLID:
    case BS_HATCHED: *out = toPixel(brush.color, mono); return true;
    case BS_PATTERN: {
      const Surface* p = brush.pattern.get();
      if (!p || p->width <= 0 || p->height <= 0) return false;
      const int px = ((x - dc.brushOrg.x) % p->width + p->width) % p->width;
      const int py = ((y - dc.brushOrg.y) % p->height + p->height) % p->height;
      const uint32_t v = p->get(px, py);
      if (p->mono()) *out = toPixel(v ? dc.bkColor : dc.textColor, mono);
      else *out = mono ? toPixel(toColorRef(v), true) : v;
      return true;
    }
    default: return false;  // BS_NULL
  }
}

}  // namespace pl::gdi

using namespace pl::gdi;

// The brush keeps its own copy of the bitmap's pixels: the bitmap may be
// deleted, or drawn on, afterwards.
extern "C" HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
  const Bitmap* bitmap = findBitmap(hbm);
  if (!bitmap || bitmap->surface.width <= 0 || bitmap->surface.height <= 0) return nullptr;
  auto brush = std::make_unique<Brush>();
  brush->style = BS_PATTERN;
  brush->pattern = std::make_shared<Surface>(bitmap->surface);
  return static_cast<HBRUSH>(addObject(std::move(brush)));
}
