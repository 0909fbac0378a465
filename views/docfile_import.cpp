// aImportViews: the views of another drawing taken over by the current
// sheet together with the models they show. The file is read into a
// temporary document that is never opened; the views of its first sheet
// other than the sheet's active view move to the current sheet (at most
// 16), their models join the current document under fresh names, the
// first model taken and the current model exchange their work planes, and
// the temporary document goes.
#include "views/docfile.h"

#include "core/alloc.h"
#include "core/text.h"
#include "fe/opcall.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/owned.h"
#include "views/sheet.h"
#include "views/vdef.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <utility>
#include <vector>

namespace {

enum { kViewsTakenMax = 16 };

// The model leaves the temporary document for doc under a fresh name. Its
// spatial index names objects from doc's settings from now on.
void takeModel(modelRec* model, docRec* doc) {
  ownedUnlink(model);
  model->owner = nullptr;
  uFreeIfSet(&model->title);
  model->title = uStrDup("", 0, nullptr);
  modelLink(model, doc);
  // The temporary document's list let go of the model; doc's holds it now.
  feObjRefRelease(model);
  if (model->sieve) model->sieve->doc = doc->settings;
}

// The view leaves its sheet and joins target, keeping the one reference a
// sheet holds.
void moveView(viewRec* view, sheetRec* target) {
  sheetRec* source = view->sheet;
  for (viewRec** link = &source->firstView; *link; link = &(*link)->next)
    if (*link == view) {
      *link = view->next;
      --source->viewCount;
      break;
    }
  if (source->owner) docFreeViewNumber(source->owner, view->index);
  view->next = nullptr;
  view->index = 0;
  vwAttachToSheet(view, target, view->model);
  if (view->refCount != feObjPermanent && view->refCount > 0) --view->refCount;
  view->flags |= viewChanged;
  vwComputeScreenBox(view);
}

void exchangePlanes(modelRec* a, modelRec* b) {
  if (!a || !b || a == b) return;
  std::swap(a->firstPlane, b->firstPlane);
  std::swap(a->curPlane, b->curPlane);
  for (wplaneRec* plane = a->firstPlane; plane; plane = plane->next) plane->owner = a;
  for (wplaneRec* plane = b->firstPlane; plane; plane = plane->next) plane->owner = b;
  for (modelRec* model : {a, b})
    if (vwCurModel() == model) wpSetCurrent(model->curPlane);
}

// The temporary document goes with whatever it still holds.
void discard(docRec* doc) {
  for (sheetRec* sheet = doc->firstSheet; sheet;) {
    sheetRec* next = sheet->next;
    sheetUnlink(sheet);
    uint8_t& count = sheet->head.object.refCount;
    if (count != feObjPermanent && count > 0) --count;
    if (count == 0) sheetFree(sheet);
    sheet = next;
  }
  docRec* before = vwCurDoc();
  docSetCurrent(doc);
  docRemoveModels(doc);
  docSetCurrent(before == doc ? nullptr : before);
  docRemoveVdefs(doc);
  if (doc->object.refCount == 0) docFree(doc);
}

void takeViews(docRec* from, sheetRec* target, double scale) {
  sheetRec* source = from->firstSheet;
  if (!source) return;
  std::vector<viewRec*> views;
  for (viewRec* view = source->firstView; view && views.size() < kViewsTakenMax; view = view->next)
    if (view != source->activeView) views.push_back(view);
  std::vector<modelRec*> taken;
  for (viewRec* view : views) {
    modelRec* model = view->model;
    if (model && model->owner == from) {
      takeModel(model, target->owner);
      taken.push_back(model);
    }
    moveView(view, target);
  }
  for (viewRec* view = target->firstView; view; view = view->next)
    for (const modelRec* model : taken)
      if (view->model == model) {
        view->states[0].scale *= scale;
        view->flags |= viewChanged;
      }
  if (!taken.empty()) exchangePlanes(taken.front(), vwCurModel());
}

}  // namespace

int vwOpImportViews(feArgs* args) {
  docRec* doc = vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  sheetRec* sheet = vwCurSheet();
  if (!sheet || sheet->owner != doc) return vwErrNoCurSheet;
  const feArgText name = args->in[0].text;
  const double scale = args->in[2].d;
  viewRec* before = vwCurView();
  docRec* prefs = vwGetDefaultDoc();
  if (prefs) docSetCurrent(prefs);
  docRec* temp = nullptr;
  int code = docCreate(&temp);
  if (code == 0 && temp) {
    code = vwReadDoc(temp, name.text, uint32_t(name.length), vwReadNoWindow | 0x10);
    docSetCurrent(doc);
    if (code == 0) takeViews(temp, sheet, scale);
    discard(temp);
  }
  if (before) vwSetCurView(before);
  else docSetCurrent(doc);
  sheetUpdateWindow(sheet);
  return code;
}
