// Regions as lists of disjoint rectangles, the rectangle helpers of USER32,
// and clipping: SelectClipRgn, IntersectClipRect, GetClipBox. Clip regions
// are kept in device coordinates.
#include "gdi.h"

#include <algorithm>

namespace pl::gdi {

bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return isEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

void subtract(const std::vector<RECT>& a, const RECT& b, std::vector<RECT>& out) {
  for (const RECT& r : a) {
    const RECT cut = intersect(r, b);
    if (isEmpty(cut)) {
      out.push_back(r);
      continue;
    }
    // Up to four pieces: above, below, left and right of the cut.
    const RECT pieces[] = {{r.left, r.top, r.right, cut.top},
                           {r.left, cut.bottom, r.right, r.bottom},
                           {r.left, cut.top, cut.left, cut.bottom},
                           {cut.right, cut.top, r.right, cut.bottom}};
    for (const RECT& p : pieces)
      if (!isEmpty(p)) out.push_back(p);
  }
}

std::vector<RECT> intersectAll(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  std::vector<RECT> out;
  for (const RECT& x : a)
    for (const RECT& y : b)
      if (const RECT r = intersect(x, y); !isEmpty(r)) out.push_back(r);
  return out;
}

std::vector<RECT> unite(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  std::vector<RECT> out = a;
  for (const RECT& r : b) {
    std::vector<RECT> rest{r};
    for (const RECT& have : out) {
      std::vector<RECT> next;
      subtract(rest, have, next);
      rest = std::move(next);
    }
    out.insert(out.end(), rest.begin(), rest.end());
  }
  return out;
}

RECT bounds(const std::vector<RECT>& rects) {
  RECT r{0, 0, 0, 0};
  bool first = true;
  for (const RECT& x : rects) {
    if (isEmpty(x)) continue;
    if (first) {
      r = x;
      first = false;
      continue;
    }
    r = RECT{std::min(r.left, x.left), std::min(r.top, x.top), std::max(r.right, x.right), std::max(r.bottom, x.bottom)};
  }
  return r;
}

// NULLREGION, SIMPLEREGION or COMPLEXREGION for a list of disjoint rectangles.
int regionKind(const std::vector<RECT>& rects) {
  if (rects.empty()) return NULLREGION;
  const RECT box = bounds(rects);
  long long area = 0;
  for (const RECT& r : rects) area += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
  return area == static_cast<long long>(box.right - box.left) * (box.bottom - box.top) ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace pl::gdi

using namespace pl::gdi;

static RECT ordered(int x1, int y1, int x2, int y2) {
  return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

extern "C" HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
  auto r = std::make_unique<Region>();
  const RECT box = ordered(x1, y1, x2, y2);
  if (!isEmpty(box)) r->rects.push_back(box);
  return static_cast<HRGN>(addObject(std::move(r)));
}

extern "C" HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
  if (!lprect) return nullptr;
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

extern "C" int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  Region* dst = findRegion(hrgnDst);
  Region* a = findRegion(hrgnSrc1);
  Region* b = findRegion(hrgnSrc2);
  if (!dst || !a || (iMode != RGN_COPY && !b)) return ERROR;
  std::vector<RECT> out;
  switch (iMode) {
    case RGN_COPY: out = a->rects; break;
    case RGN_AND: out = intersectAll(a->rects, b->rects); break;
    case RGN_OR: out = unite(a->rects, b->rects); break;
    case RGN_DIFF:
    case RGN_XOR: {
      out = a->rects;
      for (const RECT& r : b->rects) {
        std::vector<RECT> next;
        subtract(out, r, next);
        out = std::move(next);
      }
      if (iMode == RGN_XOR) {
        std::vector<RECT> other = b->rects;
        for (const RECT& r : a->rects) {
          std::vector<RECT> next;
          subtract(other, r, next);
          other = std::move(next);
        }
        out.insert(out.end(), other.begin(), other.end());
      }
      break;
    }
    default: return ERROR;
  }
  dst->rects = std::move(out);
  return regionKind(dst->rects);
}

extern "C" int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
  Region* r = findRegion(hrgn);
  if (!r) return ERROR;
  for (RECT& rect : r->rects) OffsetRect(&rect, x, y);
  return regionKind(r->rects);
}

extern "C" int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
  Region* r = findRegion(hrgn);
  if (!r || !lprc) return ERROR;
  *lprc = bounds(r->rects);
  return regionKind(r->rects);
}

extern "C" BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
  Region* r = findRegion(hrgn);
  return r && clipContains(r->rects, x, y) ? TRUE : FALSE;
}

extern "C" int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
  Dc* dc = findDc(hdc);
  if (!dc) return ERROR;
  if (!hrgn) {
    dc->hasClip = false;
    dc->clip.clear();
    Surface* s = surfaceOf(dc);
    return s && s->width > 0 && s->height > 0 ? SIMPLEREGION : NULLREGION;
  }
  Region* r = findRegion(hrgn);
  if (!r) return ERROR;
  dc->hasClip = true;
  dc->clip = r->rects;  // a copy: the caller keeps and deletes its region
  return regionKind(dc->clip);
}

extern "C" int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = findDc(hdc);
  Surface* s = surfaceOf(dc);
  if (!dc) return ERROR;
  const POINT a = toDevice(dc, left, top), b = toDevice(dc, right, bottom);
  const std::vector<RECT> cut{ordered(a.x, a.y, b.x, b.y)};
  if (!dc->hasClip) dc->clip = {RECT{0, 0, s ? s->width : 0, s ? s->height : 0}};
  dc->hasClip = true;
  dc->clip = intersectAll(dc->clip, cut);
  return regionKind(dc->clip);
}

extern "C" int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
  Dc* dc = findDc(hdc);
  if (!dc || !lprect) return ERROR;
  Surface* s = surfaceOf(dc);
  if (!s) {
    *lprect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  const std::vector<RECT> clip = clipRects(dc, *s);
  RECT box = bounds(clip);
  // Back to logical coordinates.
  const POINT d = toDevice(dc, 0, 0);
  if (!isEmpty(box)) OffsetRect(&box, -d.x, -d.y);
  *lprect = box;
  return regionKind(clip);
}

extern "C" BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

extern "C" BOOL WINAPI SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

extern "C" BOOL WINAPI IsRectEmpty(const RECT* lprc) { return !lprc || isEmpty(*lprc) ? TRUE : FALSE; }

extern "C" BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  *lprcDst = intersect(*lprcSrc1, *lprcSrc2);
  return isEmpty(*lprcDst) ? FALSE : TRUE;
}

extern "C" BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  *lprcDst = bounds({*lprcSrc1, *lprcSrc2});
  return isEmpty(*lprcDst) ? FALSE : TRUE;
}

extern "C" BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = RECT{lprc->left + dx, lprc->top + dy, lprc->right + dx, lprc->bottom + dy};
  return TRUE;
}

extern "C" BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
  return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom ? TRUE : FALSE;
}
