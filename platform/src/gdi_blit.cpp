// Bit blits with ternary raster operations: BitBlt, StretchBlt (nearest
// source pixel) and PatBlt. The operation's truth table combines the DC's
// brush (pattern), the source and the destination for every colour bit.
// Blits ignore ROP2 and draw only inside the destination's clip region.
//
// A source in the other format than the destination is converted first:
// monochrome to colour gives the destination DC's text colour for 0 bits and
// its background colour for 1 bits; colour to monochrome gives 1 where the
// pixel equals the source DC's background colour, else 0.
#include "gdi.h"

#include <algorithm>

namespace pl::gdi {

uint32_t applyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t out = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return out & 0xFFFFFF;
}

}  // namespace pl::gdi

using namespace pl::gdi;

namespace {

// Whether the truth table depends on the source or on the pattern.
bool usesSource(uint8_t code) { return ((code >> 2) ^ code) & 0x33; }
bool usesPattern(uint8_t code) { return ((code >> 4) ^ code) & 0x0F; }

// A device rectangle from a corner and signed extents.
RECT spanRect(POINT corner, int w, int h) {
  return RECT{std::min<LONG>(corner.x, corner.x + w), std::min<LONG>(corner.y, corner.y + h),
              std::max<LONG>(corner.x, corner.x + w), std::max<LONG>(corner.y, corner.y + h)};
}

// The source side of a blit: its pixels over the source rectangle, already in
// the destination's format (copied first, so a blit onto its own surface reads
// the pixels from before it).
struct Source {
  RECT rect{};
  int width = 0;
  std::vector<uint32_t> pixels;
  std::vector<bool> inside;  // whether the source pixel lies on the source surface

  bool load(Dc* srcDc, Dc* dstDc, bool dstMono, const RECT& r) {
    const Surface* s = surfaceOf(srcDc);
    if (!s) return false;
    rect = r;
    width = r.right - r.left;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(r.bottom - r.top);
    pixels.assign(count, 0);
    inside.assign(count, false);
    const uint32_t fore = toPixel(dstDc->textColor, false), back = toPixel(dstDc->bkColor, false);
    const uint32_t srcBack = toPixel(srcDc->bkColor, false);
    size_t i = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x, ++i) {
        if (!s->contains(x, y)) continue;
        uint32_t v = s->get(x, y);
        if (s->mono() && !dstMono) v = v ? back : fore;
        else if (!s->mono() && dstMono) v = v == srcBack ? 0xFFFFFF : 0;
        pixels[i] = v;
        inside[i] = true;
      }
    }
    return true;
  }
};

// The common blit: destination rectangle (logical corner and extents) and,
// when the operation reads one, a source rectangle that is stretched onto it
// by taking the nearest source pixel. Opposite signs of the extents mirror.
BOOL blit(HDC hdcDst, int x, int y, int w, int h, HDC hdcSrc, int sx, int sy, int sw, int sh, DWORD rop) {
  Dc* dc = findDc(hdcDst);
  Surface* surface = surfaceOf(dc);
  if (!surface) return FALSE;
  const uint8_t code = static_cast<uint8_t>(rop >> 16);
  const bool mono = surface->mono();

  const RECT dst = spanRect(toDevice(dc, x, y), w, h);
  if (isEmpty(dst)) return TRUE;

  Source source;
  bool flipX = false, flipY = false;
  if (usesSource(code)) {
    Dc* srcDc = findDc(hdcSrc);
    if (!srcDc) return FALSE;
    const RECT src = spanRect(toDevice(srcDc, sx, sy), sw, sh);
    if (isEmpty(src)) return TRUE;
    if (!source.load(srcDc, dc, mono, src)) return FALSE;
    flipX = (w < 0) != (sw < 0);
    flipY = (h < 0) != (sh < 0);
  }

  const Brush* brush = usesPattern(code) ? findBrush(dc->brush) : nullptr;
  if (usesPattern(code) && (!brush || brush->style == BS_NULL)) return TRUE;

  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const int srcW = source.rect.right - source.rect.left, srcH = source.rect.bottom - source.rect.top;
  for (const RECT& clip : clipRects(dc, *surface)) {
    const RECT r = intersect(clip, dst);
    for (int py = r.top; py < r.bottom; ++py) {
      uint32_t* row = surface->row(py);
      for (int px = r.left; px < r.right; ++px) {
        uint32_t s = 0, p = 0;
        if (srcW > 0) {
          // Centre of the destination pixel mapped into the source rectangle.
          int ix = static_cast<int>((2LL * (px - dst.left) + 1) * srcW / (2LL * dw));
          int iy = static_cast<int>((2LL * (py - dst.top) + 1) * srcH / (2LL * dh));
          if (flipX) ix = srcW - 1 - ix;
          if (flipY) iy = srcH - 1 - iy;
          const size_t i = static_cast<size_t>(iy) * source.width + ix;
          if (!source.inside[i]) continue;
          s = source.pixels[i];
        }
        if (brush) brushPixel(*dc, *brush, px, py, mono, &p);
        uint32_t v = applyRop3(code, p, s, row[px]);
        if (mono) v = v ? 0xFFFFFF : 0;
        row[px] = v;
      }
    }
  }
  return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  logCall("BitBlt", {x, y, cx, cy, x1, y1, static_cast<long long>(rop)});
  return blit(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

extern "C" BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                                  int ySrc, int wSrc, int hSrc, DWORD rop) {
  logCall("StretchBlt", {xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc, static_cast<long long>(rop)});
  return blit(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop);
}

extern "C" BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  logCall("PatBlt", {x, y, w, h, static_cast<long long>(rop)});
  // An operation that reads a source is not a pattern blit.
  if (usesSource(static_cast<uint8_t>(rop >> 16))) return FALSE;
  return blit(hdc, x, y, w, h, nullptr, 0, 0, 0, 0, rop);
}
