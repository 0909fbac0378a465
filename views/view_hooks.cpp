// What the current-object switches and the world and screen transforms
// read of views and sheets, offered as their hook tables.
#include "views/view.h"

#include "draw/xforms.h"
#include "views/current.h"
#include "views/sheet.h"

#include <cstring>

namespace {

sheetRec* viewSheet(viewRec* view) { return view->sheet; }
modelRec* viewModel(viewRec* view) { return view->model; }

// The highlighted frame is that of its sheet's active (last activated) view.
bool viewHighlighted(viewRec* view) { return view->sheet && view->sheet->lastActiveView == view; }

// Frames are drawn with the views themselves, which come later.
void viewDrawFrame(viewRec*, bool) {}

void viewMakeCurrent(viewRec* view) { vwSetCurView(view); }

void screenBox(const viewRec* view, double box[4]) {
  for (int k = 0; k < 4; ++k) box[k] = view->screenBox[k];
}

void screenToWorld(const viewRec* view, double m[16]) {
  vwRebuildMatrices(const_cast<viewRec*>(view));
  std::memcpy(m, view->screenToWorld, sizeof(xform4));
}

void sheetMatrix(const sheetRec* sheet, int kind, double m[16]) {
  std::memcpy(m, kind == 11 ? sheet->zoom[0].worldToSheet : sheet->zoom[0].sheetToWorld, sizeof(xform4));
}

}  // namespace

void viewFillCurRecords(vwCurRecords* records) {
  records->viewSheet = viewSheet;
  records->viewModel = viewModel;
  records->viewHighlighted = viewHighlighted;
  records->viewDrawFrame = viewDrawFrame;
  records->viewMakeCurrent = viewMakeCurrent;
}

void viewFillViewHooks(vwViewHooks* hooks) {
  hooks->curView = vwCurView;
  hooks->curSheet = vwCurSheet;
  hooks->screenBox = screenBox;
  hooks->screenToWorld = screenToWorld;
  hooks->sheetMatrix = sheetMatrix;
}
