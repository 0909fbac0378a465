// Rectangles and circles by verb, fills by kind, the rectangle helpers and
// scrolling.
#include "draw/gxdraw.h"

#include "core/debug.h"

#include <algorithm>

namespace {

bool realWindow() { return gx.window && gx.window != gxWindowPushed; }

// The brush of a fill kind for rectangles and circles.
HBRUSH kindBrush(int kind) {
  if (gx.drawMode == gxModeErase) return gdiBackgroundBrush();
  if (kind & 0x8000) return gxFillBrush(kind);
  switch (kind) {
    case 0: return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    case 2: return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    case 3: return static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    case 4: return GetSysColorBrush(COLOR_WINDOW);
    case 5: return GetSysColorBrush(COLOR_WINDOWTEXT);
    default: return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  }
}

// An ellipse in the rectangle with the given brush and pen.
void ellipseWith(const RECT* r, HGDIOBJ brush, HGDIOBJ pen) {
  HGDIOBJ oldBrush = SelectObject(gx.dc, brush);
  HGDIOBJ oldPen = SelectObject(gx.dc, pen);
  Ellipse(gx.dc, r->left, r->top, r->right, r->bottom);
  SelectObject(gx.dc, oldPen);
  SelectObject(gx.dc, oldBrush);
}

}  // namespace

void gxRect(int verb, const RECT* rect) {
  if (verb < gxRectFrame || verb > gxRectValidate) {
    dbgPanic("unknown verb in gxRect [%d]", verb);
    return;
  }
  if (!gx.window || !gx.dc || !rect) return;
  switch (verb) {
    case gxRectFrame: {
      HGDIOBJ old = SelectObject(gx.dc, GetStockObject(HOLLOW_BRUSH));
      Rectangle(gx.dc, rect->left, rect->top, rect->right, rect->bottom);
      SelectObject(gx.dc, old);
      break;
    }
    case gxRectFill:
      if (gx.drawMode == gxModeXor)
        InvertRect(gx.dc, rect);
      else
        FillRect(gx.dc, rect, gx.drawMode == gxModeErase ? gdiBackgroundBrush() : gdiTextBrush());
      break;
    case gxRectInvert:
      InvertRect(gx.dc, rect);
      break;
    case gxRectErase:
      if (!realWindow()) break;
      FillRect(gx.dc, rect, gdiBackgroundBrush());
      InvalidateRect(gx.window, rect, FALSE);
      break;
    case gxRectBackground:
      FillRect(gx.dc, rect, gdiBackgroundBrush());
      break;
    case gxRectValidate:
      if (realWindow()) ValidateRect(gx.window, rect);
      break;
  }
}

void gxCircle(int verb, const RECT* rect, int fill) {
  if (verb != 1 && verb != 2 && verb != 6) {
    dbgPanic("unknown verb in gxCircle [%d]", verb);
    return;
  }
  if (!gx.dc || !rect) return;
  if (verb == 1)
    ellipseWith(rect, kindBrush(fill), GetStockObject(NULL_PEN));
  else if (verb == 2)
    ellipseWith(rect, GetStockObject(HOLLOW_BRUSH), gx.gridPen ? static_cast<HGDIOBJ>(gx.gridPen) : GetStockObject(BLACK_PEN));
  else
    ellipseWith(rect, GetSysColorBrush(COLOR_WINDOW), GetStockObject(NULL_PEN));
}

void gxFillRect(const RECT* rect, int kind) {
  if (!gx.dc || !rect) return;
  FillRect(gx.dc, rect, kindBrush(kind));
}

int gxPtInRect(const POINT* p, const RECT* r) {
  return r->left <= p->x && p->x < r->right && r->top <= p->y && p->y < r->bottom;
}

void gxInsetRect(RECT* r, int dx, int dy) {
  r->left += dx;
  r->right -= dx;
  r->top += dy;
  r->bottom -= dy;
}

void gxSetRect(RECT* r, int left, int top, int right, int bottom) { *r = RECT{left, top, right, bottom}; }

int gxIntersectRect(const RECT* a, const RECT* b, RECT* out) {
  const RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
               std::min(a->bottom, b->bottom)};
  if (r.left >= r.right || r.top >= r.bottom) {
    *out = RECT{0, 0, 0, 0};
    return 0;
  }
  *out = r;
  return 1;
}

void gxScrollRect(const RECT* rect, const POINT* delta) {
  if (!gx.dc || !rect || !delta) return;
  const bool real = realWindow();
  gxClipPush();
  if (real) {
    HRGN pending = CreateRectRgn(0, 0, 0, 0);
    if (GetUpdateRgn(gx.window, pending, FALSE) > NULLREGION) {
      OffsetRgn(pending, delta->x, delta->y);
      InvalidateRgn(gx.window, pending, FALSE);
    }
    DeleteObject(pending);
  }
  HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
  ScrollDC(gx.dc, delta->x, delta->y, rect, rect, uncovered, nullptr);
  FillRgn(gx.dc, uncovered, gdiBackgroundBrush());
  if (real) InvalidateRgn(gx.window, uncovered, FALSE);
  DeleteObject(uncovered);
  gxClipPop();
  if (real) UpdateWindow(gx.window);
}
