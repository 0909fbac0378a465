// Changing where a view lies on its sheet and where it looks from: its
// corners, direction and matrices, recomputing and repainting it, and the
// screen boxes other modules ask for.
#include "views/view.h"
#include "views/view_internal.h"

#include "core/debug.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "objects/event.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cstring>

namespace {

void standardDirection(viewState& s) {
  const double normal[3] = {0, 0, 1}, up[3] = {0, 1, 0};
  std::memcpy(s.normal, normal, sizeof normal);
  std::memcpy(s.up, up, sizeof up);
}

HWND liveWindow(const viewRec* view) {
  HWND window = view->sheet ? sheetHwnd(view->sheet) : nullptr;
  return window && IsWindow(window) ? window : nullptr;
}

}  // namespace

namespace viewint {

bool expectView(const void* object) {
  if (viewIs(object)) return true;
  dbgPanic("%s: '%s'", "Assert failed in DidUrur", "ExpectedView");
  return false;
}

bool manyPages(const sheetRec* sheet) { return sheet && sheet->pagesAcross * sheet->pagesDown > 1; }

void applyChange(viewRec* view) {
  view->flags |= viewChanged;
  if (vwCurView() == view && view->sheet) vwSetCurView(view);
  else vwRebuildMatrices(view);
}

RECT sheetPixelBox(const sheetRec* sheet) {
  RECT rect{sheet->graphicsBox[0], sheet->graphicsBox[1], sheet->graphicsBox[2], sheet->graphicsBox[3]};
  if (sheet->window) windGetViewRect(sheet->window, &rect);
  return rect;
}

void clearScreenBox(const viewRec* view) {
  HWND window = liveWindow(view);
  if (!window) return;
  const HWND saved = gxSetWindow(window);
  const RECT box{view->screenBox[0], view->screenBox[1], view->screenBox[2], view->screenBox[3]};
  gxRect(gxRectBackground, &box);
  gxSetWindow(saved);
}

}  // namespace viewint

void vwInvalidate(viewRec* view, int whole) {
  HWND window = liveWindow(view);
  if (!window) return;
  const int32_t* b = whole ? view->outerBox : view->screenBox;
  const RECT box{b[0], b[1], b[2], b[3]};
  InvalidateRect(window, &box, TRUE);
}

void vwErase(viewRec* view) {
  HWND window = liveWindow(view);
  if (!window) return;
  const HWND saved = gxSetWindow(window);
  const RECT box{view->screenBox[0], view->screenBox[1], view->screenBox[2], view->screenBox[3]};
  gxRect(gxRectErase, &box);
  gxSetWindow(saved);
}

int vwRecompute(viewRec* view, int redraw) {
  if (!viewIs(view)) return vwErrBadObject;
  sheetRec* sheet = view->sheet;
  if (!sheet) {
    view->flags |= viewChanged;
    vwRebuildMatrices(view);
    return 0;
  }
  HWND window = sheetHwnd(sheet);
  const HWND saved = window ? gxSetWindow(window) : gxGetWindow();
  if (sheet->activeView == view) vwFitDraftView(sheet);
  view->flags |= viewChanged;
  // Made current, the view's screen box and matrices are computed again.
  vwPushView(view);
  if (redraw) {
    viewint::clearScreenBox(view);
    vwDrawView(view, 0);
  }
  vwPopView();
  gxSetWindow(saved);
  if (vwActiveView() == view) evtSignal(vwEvViewSet, reinterpret_cast<intptr_t>(view));
  return 0;
}

void vwRebuild(viewRec* view, int keepCentre) {
  viewState& s = view->states[0];
  if (keepCentre && !(view->flags & viewDraft)) {
    // The centre is drawn at the pan: on the middle of the box.
    s.pan[0] = (view->box[0] + view->box[2]) / 2;
    s.pan[1] = (view->box[1] + view->box[3]) / 2;
  }
  viewint::applyChange(view);
}

void vwSetCorners(viewRec* view, const double box[4], int keepCentre) {
  vwInvalidate(view, 1);
  const double ordered[4] = {std::min(box[0], box[2]), std::min(box[1], box[3]), std::max(box[0], box[2]),
                             std::max(box[1], box[3])};
  if (keepCentre) {
    viewState& s = view->states[0];
    s.pan[0] += (ordered[0] + ordered[2]) / 2 - (view->box[0] + view->box[2]) / 2;
    s.pan[1] += (ordered[1] + ordered[3]) / 2 - (view->box[1] + view->box[3]) / 2;
  }
  std::memcpy(view->box, ordered, sizeof ordered);
  vwComputeScreenBox(view);
  viewint::applyChange(view);
  vwInvalidate(view, 1);
}

int vwSetDirection(viewRec* view, const double* centre, const double* normal, const double* up, int recentre) {
  if (!viewint::expectView(view)) return vwErrBadObject;
  viewState& s = view->states[0];
  if ((view->flags & viewDraft) && viewint::manyPages(view->sheet)) {
    // The standard direction; the rebuild puts pan and centre back (with
    // its "Adjusting draft view" trace alert when they had moved).
    standardDirection(s);
    viewint::applyChange(view);
    return vwErrNoModDraftView;
  }
  if (centre) std::memcpy(s.centre, centre, sizeof s.centre);
  if (normal) std::memcpy(s.normal, normal, sizeof s.normal);
  if (up) std::memcpy(s.up, up, sizeof s.up);
  if (recentre) {
    vwRebuild(view, 1);
    return vwRecompute(view, 0);
  }
  viewint::applyChange(view);
  return 0;
}

HWND vwScreenBox(const viewRec* view, int clip, int32_t out[4]) {
  if (!view) view = vwCurView();
  if (!view) {
    std::memset(out, 0, 4 * sizeof(int32_t));
    return nullptr;
  }
  std::memcpy(out, view->screenBox, 4 * sizeof(int32_t));
  if (!view->sheet) return nullptr;
  if (clip) {
    const RECT pixels = viewint::sheetPixelBox(view->sheet);
    const RECT box{out[0], out[1], out[2], out[3]};
    RECT both{};
    gxIntersectRect(&box, &pixels, &both);
    out[0] = both.left, out[1] = both.top, out[2] = both.right, out[3] = both.bottom;
  }
  return sheetHwnd(view->sheet);
}

int vwCurViewScreenBox(int32_t box[4]) {
  const viewRec* view = vwCurView();
  if (!view) return vwErrNoCurView;
  const sheetRec* sheet = view->sheet;
  if (sheet && sheet->activeView == view && sheet->window) {
    RECT rect{};
    windGetViewRect(sheet->window, &rect);
    box[0] = rect.left, box[1] = rect.top, box[2] = rect.right, box[3] = rect.bottom;
    return 0;
  }
  std::memcpy(box, view->screenBox, 4 * sizeof(int32_t));
  return 0;
}
