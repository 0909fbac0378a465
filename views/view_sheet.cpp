// Views on their sheets: attaching, creating, removing (with the objects
// bound to the view), finding a view by its number and fitting the draft
// view to the sheet's window.
#include "views/view.h"
#include "views/view_internal.h"

#include "core/classes.h"
#include "core/debug.h"
#include "objects/event.h"
#include "objects/objmsg.h"
#include "objects/sieve.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
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
  if ((view->flags & viewDraft) && viewint::manyPages(sheet)) return vwErrNoModDraftView;
  vwInvalidate(view, 1);
  view->flags &= uint16_t(~viewAttached);
  if (sheet->activeView == view) sheet->activeView = nullptr;
  viewRec* draft = sheet->activeView;
  if (sheet->lastActiveView == view) sheet->lastActiveView = draft;
  if (vwActiveView() == view) vwSetActiveView(draft);
  if (vwCurView() == view) vwSetCurView(draft);
  vwDeleteOwnedObjects(view);
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

namespace {

struct OwnedObjects {
  uint32_t number;
  int deleted;
};

int deleteIfOwned(gobjRec* object, void* context) {
  auto* owned = static_cast<OwnedObjects*>(context);
  if (object->owner == 0 || object->owner != owned->number) return 0;
  // The delete message itself: locked objects go with their view too.
  objMeth(object->classId, msgDetach, object);
  ++owned->deleted;
  return 0;
}

}  // namespace

int vwDeleteOwnedObjects(viewRec* view) {
  if (!view->model || view->index == 0) return 0;
  docRec* doc = view->sheet ? view->sheet->owner : view->model->owner;
  const uint32_t marks = doc ? doc->flags & (docDirty | docAutoSaveDue) : 0;
  OwnedObjects owned{view->index, 0};
  sieveForEach(modelGetList(view->model), deleteIfOwned, &owned);
  if (doc) doc->flags = (doc->flags & ~uint32_t(docDirty | docAutoSaveDue)) | marks;
  return owned.deleted;
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
