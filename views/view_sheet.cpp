// Views on their sheets: attaching, creating, removing, finding a view by
// its number and fitting the draft view to the sheet's window.
#include "views/view.h"

#include "core/classes.h"
#include "core/debug.h"
#include "objects/objmsg.h"
#include "tools/event.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"
#include "views/vwboxes.h"
#include "views/vwinit.h"

#include <windows.h>

namespace {

void signal(uint32_t code, const void* object) { evtSignal(code, reinterpret_cast<intptr_t>(object)); }

void recompute(viewRec* view) {
  view->flags |= viewChanged;
  vwComputeScreenBox(view);
  vwRebuildMatrices(view);
}

// Erases and invalidates the view's outer box in its sheet's window.
void invalidateView(const viewRec* view) {
  HWND window = view->sheet ? sheetHwnd(view->sheet) : nullptr;
  if (!window) return;
  const RECT box{view->outerBox[0], view->outerBox[1], view->outerBox[2], view->outerBox[3]};
  InvalidateRect(window, &box, TRUE);
}

bool manyPages(const sheetRec* sheet) { return sheet->pagesAcross * sheet->pagesDown > 1; }

}  // namespace

int vwAttachToSheet(viewRec* view, sheetRec* sheet, modelRec* model) {
  view->sheet = sheet;
  view->next = sheet->firstView;
  sheet->firstView = view;
  vwSetModel(view, model);
  if (view->refCount != feObjPermanent) ++view->refCount;
  if (++sheet->viewCount == 2 && sheet->activeView) recompute(sheet->activeView);
  view->flags |= viewAttached;
  if (docRec* doc = sheet->owner) {
    view->index = docAllocViewNumber(doc, view->index);
    docMarkChanged(doc);
  }
  return 0;
}

viewRec* vwCreate(sheetRec* sheet, modelRec* model, const double* box, int draft) {
  viewRec* view = nullptr;
  objMeth(viewClassId(), msgNew, nullptr, reinterpret_cast<intptr_t>(&view));
  if (!view) return nullptr;
  vwAttachToSheet(view, sheet, model);
  if (draft) {
    view->flags |= viewDraft;
    sheet->activeView = view;
  }
  if (box) {
    for (int k = 0; k < 4; ++k) view->box[k] = box[k];
    if (!draft) {
      // The view looks at the world point under the middle of its box.
      viewState& state = view->states[0];
      state.centre[0] = state.pan[0] = (box[0] + box[2]) / 2;
      state.centre[1] = state.pan[1] = (box[1] + box[3]) / 2;
    }
    recompute(view);
  } else if (draft) {
    vwFitDraftView(sheet);
  } else {
    recompute(view);
  }
  signal(vwEvViewCreated, view);
  return view;
}

int vwDelete(viewRec* view) {
  sheetRec* sheet = view->sheet;
  if (!sheet) return vwErrBadObject;
  if ((view->flags & viewDraft) && manyPages(sheet)) return vwErrNoModDraftView;
  invalidateView(view);
  view->flags &= uint16_t(~viewAttached);
  if (sheet->activeView == view) sheet->activeView = nullptr;
  viewRec* draft = sheet->activeView;
  if (sheet->lastActiveView == view) sheet->lastActiveView = draft;
  if (vwActiveView() == view) vwSetActiveView(draft);
  if (vwCurView() == view) vwSetCurView(draft);
  // Objects bound to a view by its number would be deleted here with the
  // view; object records carry no view number yet, so there are none.
  for (viewRec** link = &sheet->firstView; *link; link = &(*link)->next)
    if (*link == view) {
      *link = view->next;
      --sheet->viewCount;
      break;
    }
  view->next = nullptr;
  view->sheet = nullptr;
  if (docRec* doc = sheet->owner) {
    docFreeViewNumber(doc, view->index);
    docMarkChanged(doc);
  }
  // The sheet's reference goes; nobody else holding the view, it is freed.
  if (view->refCount != feObjPermanent && view->refCount > 0 && --view->refCount == 0) vwFree(view);
  return 0;
}

viewRec* vwViewOfIndex(const docRec* doc, uint32_t index) {
  for (const sheetRec* sheet = doc ? doc->firstSheet : nullptr; sheet; sheet = sheet->next)
    for (viewRec* view = sheet->firstView; view; view = view->next)
      if (view->index == index) return view;
  return nullptr;
}

void vwFitDraftView(sheetRec* sheet) {
  viewRec* draft = sheet->activeView;
  if (!draft) return;
  RECT rect{sheet->graphicsBox[0], sheet->graphicsBox[1], sheet->graphicsBox[2], sheet->graphicsBox[3]};
  if (sheet->window) windGetViewRect(sheet->window, &rect);
  const int32_t box[4] = {rect.left, rect.top, rect.right, rect.bottom};
  vwScreenBoxToSheet(box, sheet->zoom[0].sheetToWorld, draft->box);
  for (int k = 0; k < 4; ++k) draft->screenBox[k] = draft->outerBox[k] = box[k];
  draft->flags |= viewChanged;
  vwRebuildMatrices(draft);
}
