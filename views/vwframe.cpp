// View frames: geometry, hit codes, press actions, the view under a point
// and the frame's drawing.
#include "views/vwframe.h"

#include "core/debug.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "fe/script.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/view.h"

#include <cstring>

namespace {

int (*printingQuery)() = nullptr;

bool holds(const RECT& r, POINT p) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; }

bool inScreenBox(const viewRec* view, POINT p) {
  const int32_t* b = view->screenBox;
  return p.x >= b[0] && p.x <= b[2] && p.y >= b[1] && p.y <= b[3];
}

bool isDraft(const viewRec* view) { return view->sheet && view->sheet->activeView == view; }

viewRec* firstViewAt(const sheetRec* sheet, POINT p) {
  for (viewRec* v = sheet->firstView; v; v = v->next)
    if (inScreenBox(v, p)) return v;
  return nullptr;
}

// Edge and corner codes by (left of the inner zone: 1) | (right of it: 2) |
// (below it: 4).
constexpr int kZoneCodes[8] = {vwHitTop,    vwHitSide,       vwHitSide,       vwHitSide,
                               vwHitBottom, vwHitBottomLeft, vwHitBottomRight, vwHitTop};

// The pop-up box's icon: a small menu bar over a downward arrow, as rows
// of 16 bits (high bit leftmost) after the width and height words.
constexpr uint16_t kPopupIcon[18] = {16,     16,     0x0000, 0x0000, 0x0000, 0x3FFC, 0x3FFC, 0x0000, 0x0000, 0x1FF8,
                                     0x0FF0, 0x07E0, 0x03C0, 0x0180, 0x0000, 0x0000, 0x0000, 0x0000};

void drawBorder(const vwFrameRectSet& r) {
  // The border: the outer frame's outline and the line around the grown box.
  gxRect(gxRectFrame, &r.outer);
  RECT box = r.box;
  gxRect(gxRectFrame, &box);
}

void drawTitle(const viewRec* view, const vwFrameRectSet& r, int erase) {
  gxFillRect(&r.title, erase ? 4 : 2);
  if (erase) return;
  POINT iconAt{r.popup.left, r.popup.top};
  gxDrawBits(&iconAt, kPopupIcon, 0);
  const char* title = view->title ? view->title : "";
  const int length = int(std::strlen(title));
  if (!length) return;
  gxFontSpec font{0, 9, 0}, previous{};
  gxSetFont(&font, &previous);
  HWND window = nullptr;
  HDC dc = nullptr;
  gxGetWindowDC(&window, &dc);
  SIZE extent{0, 0};
  if (dc) GetTextExtentPoint32A(dc, title, length, &extent);
  const POINT at{(r.title.left + r.title.right - extent.cx) / 2, (r.title.top + r.title.bottom + extent.cy) / 2 - 2};
  gxTextOut(&at, title, 0, length);
  gxSetFont(&previous, nullptr);
}

}  // namespace

void vwFrameRects(const viewRec* view, vwFrameRectSet* r) {
  const int32_t* b = view->screenBox;
  r->box = RECT{b[0] - 1, b[1] - 1, b[2] + 1, b[3] + 1};
  const RECT& g = r->box;
  r->outer = RECT{g.left - 3, g.top - 16, g.right + 3, g.bottom + 3};
  r->title = RECT{g.left - 3, g.top - 16, g.right + 3, g.top + 1};
  r->popup = RECT{r->title.left + 1, r->title.top + 1, r->title.left + 1 + 16, r->title.bottom - 1};
  r->inner = RECT{g.left + 12, g.top, g.right - 12, g.bottom - 12};
}

viewRec* vwFramedView(const sheetRec* sheet) {
  if (!sheet) return nullptr;
  return sheet->lastActiveView ? sheet->lastActiveView : sheet->activeView;
}

int vwFrameHit(const sheetRec* sheet, POINT p) {
  if (!sheet || (sheet->flags & sheetLockViews)) return vwHitNone;
  viewRec* active = vwFramedView(sheet);
  if (active && !isDraft(active)) {
    if (inScreenBox(active, p)) return vwHitNone;
    vwFrameRectSet r;
    vwFrameRects(active, &r);
    if (holds(r.popup, p)) return vwHitPopup;
    if (holds(r.title, p)) return vwHitTitle;
    if (holds(r.outer, p)) {
      const int index = (p.x < r.inner.left ? 1 : 0) | (p.x > r.inner.right ? 2 : 0) | (p.y > r.inner.bottom ? 4 : 0);
      return kZoneCodes[index];
    }
  }
  viewRec* under = firstViewAt(sheet, p);
  if (under && under != active) return vwHitOtherView;
  return vwHitNone;
}

viewRec* sheetViewAtPoint(const sheetRec* sheet, POINT p) {
  if (!sheet) return nullptr;
  if (viewRec* view = firstViewAt(sheet, p)) return view;
  uAlert(0, "TCannot find sheet matching point", nullptr);
  return sheet->activeView;
}

void vwFrameAction(sheetRec* sheet, POINT p, int code) {
  if (!sheet) return;
  switch (code) {
    case vwHitActivate:
    case vwHitOtherView: {
      viewRec* view = sheetViewAtPoint(sheet, p);
      if (!view) return;
      vwSetCurView(view);
      vwSetActiveView(view);
      if ((view->flags & viewAutoFront) && !isDraft(view)) vwBringToFront(view);
      return;
    }
    case vwHitPopup: feExecf("mark [%ld %ld] aViewPopup cleartomark", int32_t(p.x), int32_t(p.y)); return;
    default: return;  // the title bar and the resize zones do nothing here
  }
}

void vwSetOuterBox(viewRec* view) {
  if (!view) return;
  vwFrameRectSet r;
  vwFrameRects(view, &r);
  const bool framed = view->sheet && vwFramedView(view->sheet) == view && !isDraft(view);
  const RECT& o = framed ? r.outer : r.box;
  view->outerBox[0] = o.left;
  view->outerBox[1] = o.top;
  view->outerBox[2] = o.right;
  view->outerBox[3] = o.bottom;
}

void vwSetFramePrintingQuery(int (*printing)()) { printingQuery = printing; }

void vwDrawFrame(viewRec* view, int erase, int full) {
  if (!view || !view->sheet || isDraft(view)) return;
  sheetRec* sheet = view->sheet;
  HWND window = sheetHwnd(sheet);
  if (!window) return;
  const bool printing = printingQuery && printingQuery();
  const bool bounds = (sheet->flags & sheetShowViewBounds) != 0;
  if (!(full && !printing) && !bounds) return;
  vwFrameRectSet r;
  vwFrameRects(view, &r);
  const HWND savedWindow = gxSetWindow(window);
  gxStatePush();
  gxClipPush();
  RECT clip{sheet->graphicsBox[0], sheet->graphicsBox[1], sheet->graphicsBox[2], sheet->graphicsBox[3]};
  gxSetClip(&clip);
  gxSetDrawMode(erase ? 1 : 0);
  gxSetColor(erase ? 0 : 1);
  if (full && !printing) {
    drawTitle(view, r, erase);
    drawBorder(r);
    if (!erase) {
      RECT title = r.title;
      ++title.right;
      ++title.bottom;
      InvalidateRect(window, &title, FALSE);
    }
  } else {
    RECT box = r.box;
    gxRect(gxRectFrame, &box);
  }
  gxClipPop();
  gxStatePop();
  gxSetWindow(savedWindow);
}
