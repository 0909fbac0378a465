// Update regions in region form (InvalidateRgn, GetUpdateRgn) over the
// window's need to paint, and ScrollDC, which moves pixels inside a DC and
// reports the area the move uncovered.
#include "gdi.h"
#include "layer.h"

#include <algorithm>

using namespace pl::gdi;

extern "C" BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  if (!hRgn) return InvalidateRect(hWnd, nullptr, bErase);
  Region* r = findRegion(hRgn);
  if (!r) return FALSE;
  for (const RECT& part : r->rects)
    if (!InvalidateRect(hWnd, &part, bErase)) return FALSE;
  return TRUE;
}

extern "C" int WINAPI GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  Region* r = findRegion(hRgn);
  if (!r || !IsWindow(hWnd)) return ERROR;
  (void)bErase;
  const std::vector<RECT>* update = pl::windowUpdateRects(hWnd);
  r->rects = update ? *update : std::vector<RECT>{};
  return regionKind(r->rects);
}

extern "C" BOOL WINAPI ScrollDC(HDC hDC, int dx, int dy, const RECT* lprcScroll, const RECT* lprcClip, HRGN hrgnUpdate,
                                LPRECT lprcUpdate) {
  Dc* dc = findDc(hDC);
  Surface* s = surfaceOf(dc);
  if (!dc || !s) return FALSE;
  logCall("ScrollDC", {dx, dy});
  // Work in device coordinates: scroll is where pixels come from, clip where
  // they may land.
  const RECT whole{0, 0, s->width, s->height};
  const POINT o = toDevice(dc, 0, 0);
  auto device = [&](const RECT* r) {
    if (!r) return whole;
    RECT d = *r;
    OffsetRect(&d, o.x, o.y);
    return intersect(d, whole);
  };
  const RECT scroll = device(lprcScroll);
  const RECT clip = lprcClip ? device(lprcClip) : whole;
  RECT moved = scroll;
  OffsetRect(&moved, dx, dy);
  const RECT target = intersect(moved, clip);

  // Copy through a snapshot so overlapping moves read the old pixels.
  const Surface before = *s;
  for (int y = target.top; y < target.bottom; ++y)
    for (int x = target.left; x < target.right; ++x) s->set(x, y, before.get(x - dx, y - dy));

  // Uncovered: the part of the scrolled area (within the clip) nothing moved into.
  std::vector<RECT> uncovered;
  subtract({intersect(scroll, clip)}, target, uncovered);
  for (RECT& r : uncovered) OffsetRect(&r, -o.x, -o.y);
  if (Region* u = findRegion(hrgnUpdate)) u->rects = uncovered;
  if (lprcUpdate) *lprcUpdate = bounds(uncovered);
  return TRUE;
}
