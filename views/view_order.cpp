// Rearranging views: their order in a sheet's list, the history of view
// states, the model shown, and the scale queries of the current view.
#include "views/view.h"
#include "views/view_internal.h"

#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/vwinit.h"

#include <algorithm>

namespace {

// Takes the view out of its sheet's list.
void unlink(viewRec* view) {
  for (viewRec** link = &view->sheet->firstView; *link; link = &(*link)->next)
    if (*link == view) {
      *link = view->next;
      break;
    }
  view->next = nullptr;
}

void insertAfterLink(viewRec** link, viewRec* view) {
  view->next = *link;
  *link = view;
}

}  // namespace

int vwBringToFront(viewRec* view) {
  if (!viewIs(view) || !view->sheet) return vwErrBadObject;
  sheetRec* sheet = view->sheet;
  if (sheet->firstView == view) return 0;
  unlink(view);
  insertAfterLink(&sheet->firstView, view);
  vwInvalidate(view, 1);
  return 0;
}

int vwSendToBack(viewRec* view) {
  if (!viewIs(view) || !view->sheet) return vwErrBadObject;
  sheetRec* sheet = view->sheet;
  unlink(view);
  viewRec** link = &sheet->firstView;
  const viewRec* draft = sheet->activeView;
  if (draft && draft != view)
    while (*link && *link != draft) link = &(*link)->next;
  if (!*link) link = &sheet->firstView;  // no draft view in the list
  insertAfterLink(link, view);
  vwInvalidate(view, 1);
  return 0;
}

int vwRollStates(viewRec* view, int32_t n) {
  const int count = view ? view->stateCount : 0;
  if (count < 1) return vwErrNoCurView;
  // The states turn by reversing 0..k-1, then k..count-1, then all of them:
  // state k becomes the first.
  const int k = int(((-int64_t(n)) % count + count) % count);
  viewState* s = view->states;
  std::reverse(s, s + k);
  std::reverse(s + k, s + count);
  std::reverse(s, s + count);
  viewint::applyChange(view);
  vwInvalidate(view, 0);
  return 0;
}

int vwShowModel(viewRec* view, modelRec* model) {
  if (!viewIs(view) || !modelIs(model)) return vwErrBadObject;
  const docRec* doc = view->sheet ? view->sheet->owner : nullptr;
  if (model->owner != doc) return vwErrBadObject;
  if (view->model == model) return 0;
  vwSetModel(view, model);
  if (vwCurView() == view) modelSetCurrent(model);
  viewint::applyChange(view);
  vwInvalidate(view, 0);
  return 0;
}

int vwGetViewScale(int kind, double* out) {
  *out = 1.0;
  const viewRec* view = vwCurView();
  const sheetRec* sheet = vwCurSheet();
  if (!view || !sheet) return -1;
  const double scale = view->states[0].scale, plot = sheet->plotScale;
  switch (kind) {
    case 0: *out = scale; return 0;
    case 1: *out = scale * plot; return 0;
    case 2: *out = scale / plot; return 0;
    case 3: *out = plot; return 0;
    case 4: return 0;  // the last plot scale is the plot scale until plot scales change
    default: return -1;
  }
}
