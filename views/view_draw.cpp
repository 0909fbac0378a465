// Drawing a view's objects into its sheet's window: the interruptible and
// the timed drawer, layer-sorted drawing, the rendered modes, the
// regeneration of display lists, and the sieve's mapping of pixel
// rectangles of the current view to world space.
#include "views/view.h"
#include "views/view_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"
#include "objects/event.h"
#include "objects/objmsg.h"
#include "objects/sieve.h"
#include "ui/attn.h"
#include "views/current.h"
#include "views/model.h"
#include "views/redraw.h"
#include "views/sheet.h"
#include "views/vwinit.h"
#include "views/vwsort.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The sieve search mode of view drawing: any non-negative mode but 1 walks
// the objects overlapping the box.
constexpr int kSearchOverlap = 512;
constexpr uint32_t kPollTicks = 30;  // the interrupt keys are polled this often

uint32_t regenCount = 0;

struct Drawer {
  int mode;            // 0 interruptible, > 0 ticks for the timed drawer
  uint32_t start;
  uint32_t lastPoll;
};

int drawOne(gobjRec* object, void* context) {
  auto* d = static_cast<Drawer*>(context);
  if (d->mode > 0) {
    if (viewIs(object)) return 0;  // a view nested as an object
    objDrawIfVisible(object);
    return gxTicks60() - d->start >= uint32_t(d->mode) ? 1 : 0;
  }
  objDrawIfVisible(object);
  const uint32_t now = gxTicks60();
  if (now - d->lastPoll < kPollTicks) return 0;
  d->lastPoll = now;
  if (!evPollAttn()) return 0;
  dbgPrintf("interrupt");
  return 1;
}

int countOne(gobjRec*, void* context) {
  ++*static_cast<uint32_t*>(context);
  return 0;
}

struct Fill {
  gobjRec** items;
  uint32_t count;
  uint32_t capacity;
};

int fillOne(gobjRec* object, void* context) {
  auto* f = static_cast<Fill*>(context);
  if (f->count < f->capacity) f->items[f->count++] = object;
  return 0;
}

// The objects of the box in the order of the sort function, drawn from the
// last to the first. Answers false when the box must be drawn unsorted
// instead. An empty box is neither sorted nor drawn.
bool drawSorted(sieveRec* sieve, const int32_t rect[4], Drawer* drawer, vwSortHookFn sort) {
  uint32_t count = 0;
  sieveSearch(sieve, countOne, &count, kSearchOverlap, rect, 0, 0);
  if (!count) return true;
  Fill fill{nullptr, 0, 0};
  if (uResizeBlock(reinterpret_cast<uHandle>(&fill.items), &fill.capacity, count, sizeof(gobjRec*)) != 0) {
    dbgPanic("vwDrawView: allocation failure ");
    return false;
  }
  sieveSearch(sieve, fillOne, &fill, kSearchOverlap, rect, 0, 0);
  sort(fill.items, fill.count);
  bool whole = true;
  for (uint32_t i = count; i-- > 0;) {
    if (!fill.items[i]) {
      dbgPanic("vwDrawView: tried to do draw NULL ");
      whole = false;
      break;
    }
    if (drawOne(fill.items[i], drawer)) break;
  }
  uFree(&fill.items);
  return whole;
}

void drawObjects(viewRec* view, const int32_t rect[4], int mode) {
  sieveRec* sieve = view->model ? modelGetList(view->model) : nullptr;
  if (!sieve) return;
  const uint32_t now = gxTicks60();
  Drawer drawer{mode, now, now};
  if (view->renderMode == 0) {
    const vwSortHookFn sort = vwGetSortEnabled() ? vwGetSortHook() : nullptr;
    if (sort && drawSorted(sieve, rect, &drawer, sort)) return;
    sieveSearch(sieve, drawOne, &drawer, kSearchOverlap, rect, 0, 0);
    return;
  }
  RECT clip{};
  gxClipBox(&clip);
  const RECT box{view->screenBox[0], view->screenBox[1], view->screenBox[2], view->screenBox[3]};
  RECT both{};
  if (!gxIntersectRect(&box, &clip, &both)) return;
  uiBusyBegin();
  if (!view->perspective) sieveSearch(sieve, drawOne, &drawer, kSearchOverlap, rect, 0, 0);
  uiBusyEnd();
}

// The sieve's question: the world region under a pixel rectangle of the
// current view. Looking along a world axis the rectangle's corners are
// taken back to the world; otherwise its four edges become planes through
// the rows of the world-to-screen matrix (which keep a perspective
// division's weight).
int pixelMap(const int32_t* rect, sieveViewQuery* out) {
  viewRec* view = vwCurView();
  if (!view) return -1;
  vwRebuildMatrices(view);
  const double* m = view->worldToScreen;
  const double scale = std::fabs(m[0]) + std::fabs(m[1]) + std::fabs(m[2]) + std::fabs(m[4]) + std::fabs(m[5]) +
                       std::fabs(m[6]);
  const double tiny = 1e-12 * scale;
  const bool projective = m[12] != 0 || m[13] != 0 || m[14] != 0;
  out->axis = -1;
  for (int a = 0; a < 3 && !projective; ++a)
    if (std::fabs(m[a]) <= tiny && std::fabs(m[4 + a]) <= tiny) out->axis = a;
  if (out->axis >= 0) {
    const double lo[3] = {double(rect[0]), double(rect[1]), 0}, hi[3] = {double(rect[2]), double(rect[3]), 0};
    aPtTransform(3, lo, view->screenToWorld, out->corners[0]);
    aPtTransform(3, hi, view->screenToWorld, out->corners[1]);
    return 0;
  }
  // x >= left, x <= right, y >= top, y <= bottom, each times the weight.
  const double edges[4] = {double(rect[0]), double(rect[2]), double(rect[1]), double(rect[3])};
  for (int p = 0; p < 4; ++p) {
    const double* row = m + (p < 2 ? 0 : 4);
    const double sign = p % 2 == 0 ? 1 : -1;
    for (int k = 0; k < 4; ++k) out->planes[p][k] = sign * (row[k] - edges[p] * m[12 + k]);
  }
  return 0;
}

}  // namespace

namespace viewint {

void installSieveMap() { sieveSetViewMap(pixelMap); }

bool windowBox(const viewRec* view, int32_t out[4]) {
  const RECT window = sheetPixelBox(view->sheet);
  const RECT box{view->screenBox[0], view->screenBox[1], view->screenBox[2], view->screenBox[3]};
  RECT both{};
  if (!gxIntersectRect(&box, &window, &both)) return false;
  out[0] = both.left, out[1] = both.top, out[2] = both.right, out[3] = both.bottom;
  return true;
}

}  // namespace viewint

void vwDrawView(viewRec* view, int mode) {
  if (!viewint::expectView(view)) return;
  sheetRec* sheet = view->sheet;
  HWND window = sheet ? sheetHwnd(sheet) : nullptr;
  if (!window) return;
  void* savedDrawWindow = vwGetDrawWindow();
  const HWND savedWindow = gxSetWindow(window);
  vwSetDrawWindow(sheet->window);
  const bool switched = vwCurView() != view;
  if (switched) vwPushView(view);
  else vwSetPort(view);
  if (mode == 0) evtSignal(vwEvViewDrawn, reinterpret_cast<intptr_t>(view));
  int32_t rect[4];
  if (viewint::windowBox(view, rect)) {
    gxStatePush();
    gxSetDrawMode(gxModeDraw);
    drawObjects(view, rect, mode);
    gxStatePop();
  }
  if (switched) vwPopView();
  gxSetWindow(savedWindow);
  vwSetDrawWindow(savedDrawWindow);
}

namespace {

int drawShown(gobjRec* object, void*) {
  if (!(object->flags & gobjHidden)) objMeth(object->classId, msgDraw, object);
  return 0;
}

}  // namespace

int vwRegenView() {
  if (!sheetDListOn()) return -1;
  viewRec* view = vwCurView();
  if (!view) return vwErrNoCurView;
  HWND window = view->sheet ? sheetHwnd(view->sheet) : nullptr;
  dbgPrintf("regen'ing drawing...");
  const uint32_t start = gxTicks60();
  if (window && view->model) {
    const HWND saved = gxSetWindow(window);
    vwSetPort(view);
    gxStatePush();
    gxSetDrawMode(gxModeDraw);
    sieveForEach(modelGetList(view->model), drawShown, nullptr);
    gxStatePop();
    gxSetWindow(saved);
  }
  dbgPrintf("done [%.2g secs]\n", double(gxTicks60() - start) / 60.0);
  ++regenCount;
  return 0;
}

uint32_t vwRegenCount() { return regenCount; }

void vwInvalAll() {
  const sheetRec* sheet = vwCurSheet();
  HWND window = sheet ? sheetHwnd(sheet) : nullptr;
  if (!window) return;
  const RECT rect = viewint::sheetPixelBox(sheet);
  InvalidateRect(window, &rect, TRUE);
}
