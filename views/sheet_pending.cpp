// Placeholders for the routines of views/sheet.h not written yet; each goes when its
// real definition lands, and the file with the last of them.
#include "views/sheet.h"
#include "fe/opcall.h"
#include "views/owned.h"

uint16_t sheetClassInit(uint16_t /*viewobjClass*/) { return 0; }
uint16_t sheetClassId() { return 0; }
int sheetIs(const void* /*object*/) { return 0; }
const vwListDesc* sheetListDesc() { return nullptr; }
int sheetAlloc(sheetRec** /*out*/) { return 0; }
sheetRec* sheetCreate(docRec* /*doc*/, modelRec* /*model*/, windRecord* /*window*/) { return nullptr; }
int sheetLink(sheetRec* /*sheet*/, docRec* /*doc*/, uint32_t /*position*/) { return 0; }
int sheetUnlink(sheetRec* /*sheet*/) { return 0; }
void sheetDetachWindow(sheetRec* /*sheet*/) {  }
void sheetAttachWindow(sheetRec* /*sheet*/, windRecord* /*window*/) {  }
int sheetCopy(const sheetRec* /*source*/, docRec* /*doc*/, sheetRec** /*out*/) { return 0; }
void sheetFree(sheetRec* /*sheet*/) {  }
int sheetSetScale(sheetRec* /*sheet*/, double /*scale*/, int /*relative*/, const int32_t /*screen*/*, const double /*centre*/*, int /*mode*/) { return 0; }
int sheetRecompute(sheetRec* /*sheet*/) { return 0; }
void sheetZoomPush(sheetRec* /*sheet*/) {  }
void sheetZoomPop(sheetRec* /*sheet*/) {  }
void sheetRedraw(sheetRec* /*sheet*/) {  }
void sheetPlotBoxSet(sheetRec* /*sheet*/, const double /*bounds*/*) {  }
int sheetPlotBox(double /*bounds*/*, double* /*plotScale*/) { return 0; }
void sheetUpdateWindow(sheetRec* /*sheet*/) {  }
void evFromMsg(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, vwEventRec* /*out*/) {  }
void vwGetDpiUnits(double /*out*/*) {  }
int vwOpSheetCopy(feArgs* /*args*/) { return 275; }
int vwOpScaleSheet2(feArgs* /*args*/) { return 275; }
int vwOpScrollSheet(feArgs* /*args*/) { return 275; }
int vwOpDList(feArgs* /*args*/) { return 275; }
int vwOpDrawSheet(feArgs* /*args*/) { return 275; }
int vwOpCurSheet(feArgs* /*args*/) { return 275; }
int vwOpViewAllSheet(feArgs* /*args*/) { return 275; }
int vwOpSheetCorners3(feArgs* /*args*/) { return 275; }
int vwOpRollSheet(feArgs* /*args*/) { return 275; }
int vwOpSheetToScreen(feArgs* /*args*/) { return 275; }
int vwOpSheetWithName(feArgs* /*args*/) { return 275; }
int vwOpScrollAdjust(feArgs* /*args*/) { return 275; }
int vwOpSetScrollBars(feArgs* /*args*/) { return 275; }
