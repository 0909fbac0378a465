// The current and active objects: module state and the switches.
#include "views/current.h"

#include "objects/event.h"

namespace {

vwCurRecords rec{};

struct {
  docRec* curDoc;
  sheetRec* curSheet;
  viewRec* curView;
  modelRec* curModel;
  viewRec* activeView;
  sheetRec* activeSheet;
  docRec* activeDoc;
  modelRec* activeModel;
  HWND activeSheetWindow;
  HWND curSheetWindow;
  bool switching;
  uint32_t inhibit;
  uint32_t menuState;
} st{};

void signal(uint32_t code, const void* object) { evtSignal(code, reinterpret_cast<intptr_t>(object)); }

HWND windowOf(sheetRec* sheet) { return rec.sheetWindow ? rec.sheetWindow(sheet) : nullptr; }

void refreshPlotScale(sheetRec* sheet) {
  if (rec.setPlotScale && rec.sheetPlotScale) rec.setPlotScale(rec.sheetPlotScale(sheet));
}

void setDrawPort(HWND window) {
  if (window && rec.setDrawPort) rec.setDrawPort(window);
}

void makeDocCurrent(sheetRec* sheet) {
  st.switching = true;
  rec.docMakeCurrent(rec.sheetDoc(sheet));
  st.switching = false;
}

}  // namespace

void vwSetCurRecords(const vwCurRecords* records) { rec = records ? *records : vwCurRecords{}; }

void vwSetActiveView(viewRec* view) {
  if (viewRec* old = st.activeView) {
    signal(vwEvViewDeactivated, old);
    if (rec.viewHighlighted(old) && rec.viewDrawFrame) rec.viewDrawFrame(old, false);
  }
  st.activeView = view;
  if (!view) {
    vwSetActiveSheet(nullptr);
    vwSetActiveModel(nullptr);
    return;
  }
  sheetRec* sheet = rec.viewSheet(view);
  rec.sheetSetActiveView(sheet, view);
  if (rec.viewDrawFrame) rec.viewDrawFrame(view, true);
  if (sheet != st.activeSheet) vwSetActiveSheet(sheet);
  modelRec* model = rec.viewModel(view);
  if (model != st.activeModel) vwSetActiveModel(model);
  vwSetMenuBits(vwMenuNotFirstView, rec.sheetFirstView(sheet) != view ? uint32_t{vwMenuNotFirstView} : 0u);
  vwSetMenuBits(vwMenuManyViews, rec.sheetViewCount(sheet) >= 2 ? uint32_t{vwMenuManyViews} : 0u);
  signal(vwEvViewActivated, view);
  signal(vwEvViewSet, view);
}

void vwSetActiveSheet(sheetRec* sheet) {
  if (st.activeSheet) signal(vwEvSheetDeactivated, st.activeSheet);
  st.activeSheet = sheet;
  if (!sheet) {
    st.activeSheetWindow = nullptr;
    vwSetActiveDoc(nullptr);
    return;
  }
  st.activeSheetWindow = windowOf(sheet);
  docRec* doc = rec.sheetDoc(sheet);
  if (doc != st.activeDoc) vwSetActiveDoc(doc);
  signal(vwEvSheetActivated, sheet);
}

void vwSetActiveDoc(docRec* doc) {
  if (docRec* old = st.activeDoc) {
    signal(vwEvDocDeactivated, old);
    if (rec.docSavePrintSetup) rec.docSavePrintSetup(old);
  }
  st.activeDoc = doc;
  if (!doc) return;
  if (rec.docLoadPrintSetup) rec.docLoadPrintSetup(doc);
  signal(vwEvDocActivated, doc);
}

void vwSetActiveModel(modelRec* model) {
  if (st.activeModel) signal(vwEvModelDeactivated, st.activeModel);
  st.activeModel = model;
  if (model) signal(vwEvModelActivated, model);
}

viewRec* vwActiveView() { return st.activeView; }
sheetRec* vwActiveSheet() { return st.activeSheet; }
docRec* vwActiveDoc() { return st.activeDoc; }
modelRec* vwActiveModel() { return st.activeModel; }
HWND vwActiveSheetWindow() { return st.activeSheetWindow; }

sheetRec* vwCurSheet() { return st.curSheet; }
viewRec* vwCurView() { return st.curView; }
docRec* vwCurDoc() { return st.curDoc; }
modelRec* vwCurModel() { return st.curModel; }
void vwRecordCurView(viewRec* view) { st.curView = view; }
void vwRecordCurDoc(docRec* doc) { st.curDoc = doc; }
void vwRecordCurModel(modelRec* model) { st.curModel = model; }
void vwRecordCurSheet(sheetRec* sheet) {
  st.curSheet = sheet;
  st.curSheetWindow = sheet ? windowOf(sheet) : nullptr;
}
HWND vwCurSheetWindow() { return st.curSheetWindow; }

// A new current sheet takes over the plot scale and the drawing port, its
// views' screen boxes are brought up to date, and the current view and
// document follow it: when the current view is already one of the sheet's,
// only the document changes; otherwise the sheet's active view becomes
// current and then the document. The document switch runs with the
// switching flag set. A sheet that is already current only takes the
// drawing port back and refreshes the plot scale.
void sheetSetCurrent(sheetRec* sheet) {
  if (st.inhibit) return;
  if (sheet == st.curSheet) {
    if (!sheet) return;
    setDrawPort(windowOf(sheet));
    refreshPlotScale(sheet);
    return;
  }
  st.curSheet = sheet;
  if (!sheet) {
    st.curSheetWindow = nullptr;
    return;
  }
  refreshPlotScale(sheet);
  st.curSheetWindow = windowOf(sheet);
  setDrawPort(st.curSheetWindow);
  if (rec.sheetViewBoxes) rec.sheetViewBoxes(sheet);
  if (!st.curView || rec.viewSheet(st.curView) != sheet) rec.viewMakeCurrent(rec.sheetActiveView(sheet));
  makeDocCurrent(sheet);
}

void vwSetSheetInhibit(uint32_t inhibit) { st.inhibit = inhibit; }
uint32_t vwSheetInhibit() { return st.inhibit; }
bool vwSheetSwitching() { return st.switching; }

uint32_t vwMenuState() { return st.menuState; }
void vwSetMenuBits(uint32_t mask, uint32_t value) { st.menuState = (st.menuState & ~mask) | (value & mask); }

void vwCurReset() { st = {}; }
