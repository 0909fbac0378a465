// Finding views: the view an object belongs to, and the views that show the
// current model.
#include "views/view.h"

#include "objects/gobject.h"
#include "views/current.h"
#include "views/sheet.h"

viewRec* vwViewOfObject(const gobjRec* object) {
  viewRec* owner = object && object->owner ? vwViewOfIndex(vwCurDoc(), object->owner) : nullptr;
  return owner ? owner : vwCurView();
}

int vwIndexShowsCurModel(uint32_t index) {
  const viewRec* view = vwViewOfIndex(vwCurDoc(), index);
  return view && view->model && view->model == vwCurModel() ? 0 : -1;
}

int sheetViewsOfCurModel(viewRec** views, int max) {
  const sheetRec* sheet = vwCurSheet();
  const modelRec* model = vwCurModel();
  int count = 0;
  for (viewRec* view = sheet ? sheet->firstView : nullptr; view && count < max; view = view->next)
    if (model && view->model == model) views[count++] = view;
  return count;
}
