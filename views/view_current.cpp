// The current view, the view stack and preparing a view for drawing.
#include "views/view.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "draw/csys.h"
#include "draw/gx.h"
#include "objects/hitrad.h"
#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/vwinit.h"

#include <windows.h>

namespace {

enum : uint16_t { kHitInView = 0x0200 };  // hit mode: the current view is not a draft view
enum : uint32_t { kStackGrowth = 8 };

uint32_t curIndex = 0;

// The view stack: views held with a reference each.
viewRec** stack = nullptr;
uint32_t stackCapacity = 0;
uint32_t stackDepth = 0;

// The coordinate-system stamps given to the matrices installed lately, with
// the view (by its serial, never reused) and view stamp each came from:
// installing the same matrix again reuses its stamp, so that what the
// drawing layer cached for it stays valid. Coordinate-system stamps come
// from one program-wide counter; a view's own stamp only counts its
// rebuilds, so it cannot stand in for one.
struct Installed {
  uint32_t serial;
  uint32_t viewStamp;
  uint32_t csysStamp;
};
enum { kInstalledKept = 16 };
Installed installed[kInstalledKept];
uint32_t installedNext = 0;

void installMatrix(const viewRec* view) {
  Installed* known = nullptr;
  for (Installed& entry : installed)
    if (entry.csysStamp && entry.serial == view->serial && entry.viewStamp == view->stamp) known = &entry;
  const uint32_t stamp = csysLoadStamped(view->worldToScreen, known ? known->csysStamp : 0);
  if (!known) {
    installed[installedNext] = {view->serial, view->stamp, stamp};
    installedNext = (installedNext + 1) % kInstalledKept;
  }
  vwSetCurXform(view->worldToScreen);
}

void setHitBit(const viewRec* view) {
  const uint16_t mode = hitModeGet();
  hitModeSet((view->flags & viewDraft) ? uint16_t(mode & ~kHitInView) : uint16_t(mode | kHitInView));
}

// The current sheet and model follow the view's.
void followView(viewRec* view) {
  if (view->sheet && vwCurSheet() != view->sheet) sheetSetCurrent(view->sheet);
  if (vwCurModel() != view->model) modelSetCurrent(view->model);
}

void release(viewRec* view) {
  if (!view || view->refCount == feObjPermanent || view->refCount == 0) return;
  if (--view->refCount == 0) vwFree(view);
}

}  // namespace

void vwSetPort(viewRec* view) {
  if (!view) {
    sheetRec* sheet = vwCurSheet();
    view = sheet ? sheet->activeView : nullptr;
    if (!view) return;
  }
  if (!viewIs(view)) {
    dbgPanic("%s: '%s'", "Assert failed in DidUrur", "ExpectedView");
    return;
  }
  HWND window = view->sheet ? sheetHwnd(view->sheet) : nullptr;
  if (!window) return;
  const RECT box{view->screenBox[0], view->screenBox[1], view->screenBox[2], view->screenBox[3]};
  gxSetWindow(window);
  gxSetClip(&box);
  gxSetCoordLimits(&box);
}

void vwSetCurView(viewRec* view) {
  if (!view) {
    vwRecordCurView(nullptr);
    curIndex = 0;
    modelSetCurrent(nullptr);
    return;
  }
  if (view == vwCurView() && !(view->flags & viewChanged)) {
    followView(view);
    vwSetPort(view);
    setHitBit(view);
    return;
  }
  if (!viewIs(view)) {
    dbgPanic("%s: '%s'", "Assert failed in DidUrur", "ExpectedView");
    return;
  }
  vwSetPort(view);
  vwRecordCurView(view);
  curIndex = view->index;
  if (!view->sheet) dbgPanic("view has no sheet");
  followView(view);
  if (view->flags & viewChanged) {
    vwComputeScreenBox(view);
    vwRebuildMatrices(view);
  }
  installMatrix(view);
  setHitBit(view);
}

viewRec* vwGetSetCurView(viewRec* view, viewRec** old) {
  viewRec* current = vwCurView();
  if (old) *old = current;
  if (view != current) vwSetCurView(view);
  return current;
}

uint32_t vwCurViewIndex() { return vwCurView() ? curIndex : 0; }

void vwSetCurViewIndex(uint32_t index) { curIndex = index; }

int vwViewStack(int op) {
  if (op == 1) {
    if (stackDepth == stackCapacity) {
      if (stackDepth) uAlert(0, "TGrowing view stack", nullptr);
      uAlloc(&stack, &stackCapacity, stackCapacity + kStackGrowth, sizeof(viewRec*));
    }
    viewRec* view = vwCurView();
    if (view && view->refCount != feObjPermanent) ++view->refCount;
    stack[stackDepth++] = view;
    return int(stackDepth) - 1;
  }
  if (op == 2) {
    if (!stackDepth) {
      uAlert(0, "SView stack underflow", nullptr);
      return -1;
    }
    viewRec* view = stack[--stackDepth];
    vwSetCurView(view);
    release(view);
    return 0;
  }
  return -1;
}

void vwPushView(viewRec* view) {
  vwViewStack(1);
  vwSetCurView(view);
}

void vwPopView() { vwViewStack(2); }

int vwViewStackDepth() { return int(stackDepth); }

void vwViewStackForget() {
  uFreeIfSet(&stack);
  stack = nullptr;
  stackCapacity = stackDepth = 0;
  for (Installed& entry : installed) entry = {};
}
