// The current and the active document, sheet, view and model.
//
// The current objects are the ones operators work on; scripts change them
// freely (a routine may make another document current for a moment). The
// active objects follow the front window: the active view's frame is
// highlighted and its document's print setup is the one loaded. Every
// change of the active set is announced through the event table
// (objects/event.h) with one of the change codes below and the object
// concerned.
//
// The records themselves belong to the document, sheet, view and model
// modules; this module reaches them only through vwCurRecords, which those
// modules install.
#ifndef PLUMET_VIEWS_CURRENT_H
#define PLUMET_VIEWS_CURRENT_H

#include <windows.h>

#include <cstdint>

struct docRec;
struct sheetRec;
struct viewRec;
struct modelRec;

// Change codes: 0x01, the kind of object, the change.
enum : uint32_t {
  vwEvDocCreated = 0x1010001,
  vwEvDocClosing = 0x1010002,
  vwEvDocDeactivated = 0x1010003,
  vwEvDocActivated = 0x1010004,
  vwEvDocPlaneAttr = 0x1010005,   // "showplane" or "alignplane" changed
  vwEvPrefsLoaded = 0x1010008,
  vwEvNoDocs = 0x1010009,         // signalled with null
  vwEvDocNotCurrent = 0x101000a,
  vwEvDocCurrent = 0x101000b,
  vwEvSheetCreated = 0x1020001,
  vwEvSheetRemoved = 0x1020002,
  vwEvSheetDeactivated = 0x1020003,
  vwEvSheetActivated = 0x1020004,
  vwEvSheetRedrawn = 0x1020006,
  vwEvModelDeactivated = 0x1030003,
  vwEvModelActivated = 0x1030004,
  vwEvViewCreated = 0x1040001,
  vwEvViewFreed = 0x1040002,
  vwEvViewDeactivated = 0x1040003,
  vwEvViewActivated = 0x1040004,
  vwEvViewDrawn = 0x1040006,
  vwEvViewSet = 0x1040007,        // after vwEvViewActivated
  vwEvPlaneCreated = 0x1050001,
  vwEvPlaneFreed = 0x1050002,
  vwEvPlaneNotCurrent = 0x1050003,
  vwEvPlaneCurrent = 0x1050004,
  vwEvPlaneChanged = 0x1050005,
  vwEvVdirCreated = 0x1060001,
  vwEvVdirFreed = 0x1060002,
  vwEvVdirApplied = 0x1060007,
};

// Menu-state bits, read by the menu layer.
enum : uint32_t {
  vwMenuDocOpen = 0x1,        // some document is open
  vwMenuManyViews = 0x100,    // the active sheet has two or more views
  vwMenuNotFirstView = 0x200, // the active view is not its sheet's first
};

// What the switches ask of the records. Every member must be set before a
// switch reaches it; the owning modules install them at start-up.
struct vwCurRecords {
  // Views.
  sheetRec* (*viewSheet)(viewRec* view);
  modelRec* (*viewModel)(viewRec* view);   // null for a view without a model
  bool (*viewHighlighted)(viewRec* view);  // its frame is drawn highlighted
  void (*viewDrawFrame)(viewRec* view, bool highlighted);
  void (*viewMakeCurrent)(viewRec* view);  // the view module's switch
  // Sheets.
  docRec* (*sheetDoc)(sheetRec* sheet);
  viewRec* (*sheetActiveView)(sheetRec* sheet);
  void (*sheetSetActiveView)(sheetRec* sheet, viewRec* view);
  viewRec* (*sheetFirstView)(sheetRec* sheet);
  int (*sheetViewCount)(sheetRec* sheet);
  HWND (*sheetWindow)(sheetRec* sheet);    // null without a window
  double (*sheetPlotScale)(sheetRec* sheet);
  // Recomputes the screen box of every view of the sheet but its active one.
  void (*sheetViewBoxes)(sheetRec* sheet);
  // Documents.
  void (*docSavePrintSetup)(docRec* doc);  // printer setup into the document
  void (*docLoadPrintSetup)(docRec* doc);  // the document's into the printer
  void (*docMakeCurrent)(docRec* doc);     // the document module's switch
  // The drawing port and the global plot scale.
  void (*setDrawPort)(HWND window);
  void (*setPlotScale)(double scale);
};
// Installs the hooks (copied); null removes them.
void vwSetCurRecords(const vwCurRecords* records);

// The active objects and their switches. Each signals the change codes of
// the objects it replaces and installs, in this order for a view of another
// sheet, document and model: view deactivated, sheet deactivated, document
// deactivated, document activated, sheet activated, model deactivated,
// model activated, view activated, view set.
void vwSetActiveView(viewRec* view);
void vwSetActiveSheet(sheetRec* sheet);
void vwSetActiveDoc(docRec* doc);
void vwSetActiveModel(modelRec* model);
viewRec* vwActiveView();
sheetRec* vwActiveSheet();
docRec* vwActiveDoc();
modelRec* vwActiveModel();
// The native window of the active sheet, as recorded by vwSetActiveSheet.
HWND vwActiveSheetWindow();

// The current objects. The current view, document and model are set by
// their modules' own switches, which record them here.
sheetRec* vwCurSheet();
viewRec* vwCurView();
docRec* vwCurDoc();
modelRec* vwCurModel();
void vwRecordCurView(viewRec* view);
void vwRecordCurDoc(docRec* doc);
void vwRecordCurModel(modelRec* model);
// Forgets a current sheet (without switching), for a sheet being freed.
void vwRecordCurSheet(sheetRec* sheet);
HWND vwCurSheetWindow();

// Makes sheet current (see current.cpp). Does nothing while the inhibit
// word is set.
void sheetSetCurrent(sheetRec* sheet);
void vwSetSheetInhibit(uint32_t inhibit);
uint32_t vwSheetInhibit();
// True while sheetSetCurrent makes its sheet's document current, so that the
// document switch does not switch the sheet back.
bool vwSheetSwitching();

// The menu-state word; vwSetMenuBits sets the bits of mask to those of value.
uint32_t vwMenuState();
void vwSetMenuBits(uint32_t mask, uint32_t value);

// Back to the start: nothing current or active, flags and menu state 0
// (the hooks stay).
void vwCurReset();

#endif
