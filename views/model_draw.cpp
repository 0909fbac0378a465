// Drawing the objects of models in the views that show them: one view from
// its model, a search of every view of a document, and bringing a sheet up
// to date with the display-list notes of its models.
//
// Display lists are a cache that records nothing yet: with them off (the
// default) the notes stay empty and every view is drawn directly.
#include "views/model.h"

#include "draw/gx.h"
#include "draw/xforms.h"
#include "objects/event.h"
#include "objects/sieve.h"
#include "ui/event.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/redraw.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/view_internal.h"

#include <cstdint>

namespace {

// The sieve search mode of model drawing: a non-negative mode other than 1
// walks the objects overlapping the box.
constexpr int kSearchModel = 0xa00;
constexpr uint32_t kModShift = 2;         // the modifier code's Shift bit
constexpr uint32_t kNoteLimit = 100;      // from this many notes a view is repainted whole

// The objects removed since the display list was built, found by address
// only (a removed object may be gone): 199 slots, slot = address modulo
// 199, probing forward by 1, 2, 3 ... slots. Triangular steps reach 100
// distinct slots of a prime table, so fewer than 100 entries always fit.
class RemovedSet {
public:
  void add(const void* p) {
    uint32_t slot = home(p);
    for (uint32_t step = 1; step <= kSlots; ++step) {
      if (slots_[slot] == p) return;
      if (!slots_[slot]) {
        slots_[slot] = p;
        return;
      }
      slot = (slot + step) % kSlots;
    }
  }
  bool contains(const void* p) const {
    uint32_t slot = home(p);
    for (uint32_t step = 1; step <= kSlots; ++step) {
      if (slots_[slot] == p) return true;
      if (!slots_[slot]) return false;
      slot = (slot + step) % kSlots;
    }
    return false;
  }

private:
  static constexpr uint32_t kSlots = 199;
  static uint32_t home(const void* p) { return uint32_t(reinterpret_cast<uintptr_t>(p) % kSlots); }
  const void* slots_[kSlots] = {};
};

// What the window's drawing set-up is restored to afterwards.
struct DrawTarget {
  void* drawWindow;
  HWND window;
  bool switched;
};

DrawTarget enter(viewRec* view, HWND window) {
  DrawTarget saved{vwGetDrawWindow(), gxSetWindow(window), vwCurView() != view};
  vwSetDrawWindow(view->sheet->window);
  if (saved.switched) vwPushView(view);
  else vwSetPort(view);
  return saved;
}

void leave(const DrawTarget& saved) {
  if (saved.switched) vwPopView();
  gxSetWindow(saved.window);
  vwSetDrawWindow(saved.drawWindow);
}

void forViewsShowing(sheetRec* sheet, const modelRec* model, void (*fn)(viewRec* view)) {
  for (viewRec* view = sheet->firstView; view; view = view->next)
    if (view->model == model) fn(view);
}

void repaintBox(viewRec* view) { vwInvalidate(view, 0); }
// A dropped display list is built again when the view is next drawn: the
// whole view is repainted.
void dropList(viewRec* view) { vwInvalidate(view, 1); }

// Draws the inserted objects that were not removed since on top of every
// view of the sheet that shows the model.
void drawInserted(sheetRec* sheet, modelRec* model, const RemovedSet& removed) {
  HWND window = sheetHwnd(sheet);
  if (!window) return;
  for (viewRec* view = sheet->firstView; view; view = view->next) {
    if (view->model != model) continue;
    const DrawTarget saved = enter(view, window);
    gxStatePush();
    gxSetDrawMode(gxModeDraw);
    for (uint32_t i = 0; i < model->inserted.count; ++i)
      if (!removed.contains(model->inserted.items[i])) objDrawIfVisible(model->inserted.items[i]);
    gxStatePop();
    leave(saved);
  }
}

}  // namespace

void vwDrawViewOfModel(viewRec* view) {
  if (!viewint::expectView(view)) return;
  uint32_t modifiers = 0;
  aCurMod(&modifiers);
  HWND window = view->sheet ? sheetHwnd(view->sheet) : nullptr;
  if (!window) return;
  const DrawTarget saved = enter(view, window);
  evtSignal(vwEvViewDrawn, reinterpret_cast<intptr_t>(view));
  int32_t rect[4];
  sieveRec* sieve = view->model ? modelGetList(view->model) : nullptr;
  if (!(modifiers & kModShift) && sieve && viewint::windowBox(view, rect)) {
    gxStatePush();
    sieveSearch(sieve, objDrawIfVisibleCb, nullptr, kSearchModel, rect, 0, 0);
    gxStatePop();
  }
  leave(saved);
}

void vwSieveAllViews(docRec* doc, int drawMode, int (*callback)(gobjRec* object, void* argument), void* argument) {
  if (!doc || !callback) return;
  gxStatePush();
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
    HWND window = sheetHwnd(sheet);
    if (!window) continue;
    for (viewRec* view = sheet->firstView; view; view = view->next) {
      sieveRec* sieve = view->model ? modelGetList(view->model) : nullptr;
      if (!sieve) continue;
      const DrawTarget saved = enter(view, window);
      gxSetDrawMode(drawMode);
      int32_t rect[4];
      if (viewint::windowBox(view, rect)) sieveSearch(sieve, callback, argument, 0, rect, 0, 0);
      leave(saved);
    }
  }
  gxStatePop();
}

void dlistFlush(sheetRec* sheet) {
  if (!sheet) return;
  bool changed = false;
  for (viewRec* view = sheet->firstView; view; view = view->next) {
    modelRec* model = view->model;
    if (!model) continue;
    RemovedSet removed;
    bool dropped = false;
    if (model->removed.count) {
      changed = true;
      if (model->removed.count < kNoteLimit) {
        for (uint32_t i = 0; i < model->removed.count; ++i) removed.add(model->removed.items[i]);
        forViewsShowing(sheet, model, repaintBox);
      } else {
        forViewsShowing(sheet, model, dropList);
        dropped = true;
      }
      model->removed.count = 0;
    }
    if (model->inserted.count) {
      changed = true;
      // Dropped lists repaint everything; an inserted object may be gone
      // among too many removals to tell, so none is drawn then.
      if (model->inserted.count < kNoteLimit && !dropped) drawInserted(sheet, model, removed);
      else forViewsShowing(sheet, model, dropList);
      model->inserted.count = 0;
    }
  }
  if (changed) sheetRedraw(sheet);
}
