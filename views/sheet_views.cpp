// What the current-object switches read of sheets, and the walk over the
// views that show the current model.
#include "views/sheet.h"

#include "views/current.h"
#include "views/doc.h"
#include "views/view.h"
#include "views/vwboxes.h"

namespace {

docRec* sheetDoc(sheetRec* sheet) { return sheet->owner; }
viewRec* sheetActiveView(sheetRec* sheet) { return sheet->activeView; }
void sheetSetActiveView(sheetRec* sheet, viewRec* view) { sheet->lastActiveView = view; }
viewRec* sheetFirstView(sheetRec* sheet) { return sheet->firstView; }
int sheetViewCount(sheetRec* sheet) { return int(sheet->viewCount); }
HWND sheetWindow(sheetRec* sheet) { return sheetHwnd(sheet); }
double sheetPlotScale(sheetRec* sheet) { return sheet->plotScale; }

void sheetViewBoxes(sheetRec* sheet) {
  for (viewRec* view = sheet->firstView; view; view = view->next)
    if (view != sheet->activeView) vwComputeScreenBox(view);
}

}  // namespace

void sheetFillCurRecords(vwCurRecords* records) {
  records->sheetDoc = sheetDoc;
  records->sheetActiveView = sheetActiveView;
  records->sheetSetActiveView = sheetSetActiveView;
  records->sheetFirstView = sheetFirstView;
  records->sheetViewCount = sheetViewCount;
  records->sheetWindow = sheetWindow;
  records->sheetPlotScale = sheetPlotScale;
  records->sheetViewBoxes = sheetViewBoxes;
}

// The draw flags belong to the redraw module, which sets them around the
// walk; they are accepted here so that its call needs no change.
int vwForEachViewOfModel(void (*callback)(viewRec* view, void* argument), void* argument, uint32_t /*drawFlags*/) {
  const docRec* doc = vwCurDoc();
  const modelRec* model = vwCurModel();
  if (!doc || !model || !callback) return 0;
  int count = 0;
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next)
    for (viewRec* view = sheet->firstView; view; view = view->next) {
      if (view->model != model) continue;
      vwPushView(view);
      callback(view, argument);
      vwPopView();
      ++count;
    }
  return count;
}
