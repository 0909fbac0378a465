// Drawing the pending updates (aDrawDeferList): at the end of a command the
// damage is redrawn, then every model's pending list is drawn in the views
// that show the model.
#include "views/redraw.h"

#include "draw/xforms.h"
#include "objects/group.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"
#include "objects/update.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"

#include <algorithm>
#include <vector>

namespace {

vwFeedbackHook feedbackHook = nullptr;

void showFeedback(int show) {
  if (feedbackHook) feedbackHook(show);
}

// The window object drawn into: the one of a view drawing under way, else
// the current document window.
bool haveDrawWindow() { return vwGetDrawWindow() || windCurrentDoc(); }

viewRec* firstWindowedView(const docRec* doc, const modelRec* model) {
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
    if (!sheet->window) continue;
    for (viewRec* view = sheet->firstView; view; view = view->next)
      if (view->model == model) return view;
  }
  return nullptr;
}

int reportChanged(gobjRec* object, void*) {
  if (object->flags & updDirty) objChanged(object, 0);
  return 0;
}

void drawGroupInView(viewRec*, void* list) { grpForEach(static_cast<glist*>(list), objDrawIfVisibleCb, nullptr); }
void drawOneInView(viewRec*, void* object) { objDrawIfVisible(static_cast<gobjRec*>(object)); }

// What is still queued of a list: the new list, the objects drawn by
// themselves and the number drawn with the batch.
struct Sorted {
  glist* queued = nullptr;
  std::vector<gobjRec*> alone;
  int batch = 0;
};

int sortQueued(gobjRec* object, void* context) {
  auto* sorted = static_cast<Sorted*>(context);
  if (!(object->flags & updQueued)) return 0;
  grpAddTo(object, &sorted->queued);
  if (object->flags & updDrawnAlone) {
    // Taken off and queued again, an object is listed twice.
    if (std::find(sorted->alone.begin(), sorted->alone.end(), object) == sorted->alone.end())
      sorted->alone.push_back(object);
  } else {
    object->flags &= uint16_t(~updQueued);
    ++sorted->batch;
  }
  return 0;
}

// The walk over the views of the current model ends with the view current
// before it, which may show another model, or none: the model is made
// current for every walk.
void forEachView(modelRec* model, void (*draw)(viewRec*, void*), void* argument) {
  if (vwCurModel() != model) modelSetCurrent(model);
  vwForEachViewOfModel(draw, argument, 0);
}

// Draws one model's list.
void drawList(modelRec* model, glist* list) {
  grpForEach(list, reportChanged, nullptr);
  // Only what is still queued is drawn: objects taken off the queue since
  // (deleted ones among them) leave the list here.
  Sorted sorted;
  grpForEach(list, sortQueued, &sorted);
  grpFree(list);
  showFeedback(0);
  if (sorted.batch) forEachView(model, drawGroupInView, sorted.queued);
  for (gobjRec* object : sorted.alone) {
    // A hidden object leaves the queue as well: still marked queued, it
    // could never be queued again once it is shown.
    object->flags &= uint16_t(~updQueued);
    if (!(object->flags & gobjHidden)) forEachView(model, drawOneInView, object);
  }
  showFeedback(1);
  grpFree(sorted.queued);
}

}  // namespace

void vwSetFeedbackHook(vwFeedbackHook hook) { feedbackHook = hook; }

void vwDrawDeferList() {
  docRec* doc = vwCurDoc();
  if (!doc) return;
  objRedrawPending(1);
  if (!haveDrawWindow()) return;
  viewRec* const savedView = vwCurView();
  modelRec* const savedModel = vwCurModel();
  bool switched = false;
  for (modelRec* model = doc->firstModel; model;) {
    modelRec* next = model->next;
    glist* list = vwPendingTake(model);
    if (grpFirst(list)) {
      switched = true;
      modelSetCurrent(model);
      if (viewRec* view = firstWindowedView(doc, model)) vwSetCurView(view);
      drawList(model, list);
    } else {
      grpFree(list);
    }
    model = next;
  }
  // Drawing the queue must not change what the user works in.
  if (!switched) return;
  if (vwCurView() != savedView) vwSetCurView(savedView);
  if (vwCurModel() != savedModel) modelSetCurrent(savedModel);
}

int vwOpDrawDeferList(feArgs*) {
  vwDrawDeferList();
  return 0;
}
