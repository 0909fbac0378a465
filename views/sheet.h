// Sheets: the paper-like surfaces of a document, each shown in at most one
// document window, on which views of models are placed. A sheet holds its
// zoom state with a short history, the mapping between world and screen
// coordinates of its window, its plot layout and its list of views with the
// active one.
#ifndef PLUMET_VIEWS_SHEET_H
#define PLUMET_VIEWS_SHEET_H

#include "core/matrix.h"
#include "views/owned.h"

#include <windows.h>

#include <cstdint>

struct feArgs;
struct docRec;
struct modelRec;
struct viewRec;
struct windRecord;

enum sheetFlag : uint8_t {
  sheetShowViewBounds = 0x10,
  sheetLockViews = 0x20,
};

// One zoom state; entry 0 of the history is the current one.
struct sheetZoom {
  double pageScale;
  double centre[2];        // page centre
  int32_t screen[2];       // screen position of the centre
  xform4 worldToSheet;
  xform4 sheetToWorld;
};

enum { sheetZoomMax = 6 };

struct sheetRec {
  vwOwnedHead head;
  char* title;
  uint8_t flags;           // sheetFlag
  docRec* owner;
  windRecord* window;      // null without a window
  uint32_t viewCount;      // views added to the sheet
  viewRec* firstView;
  viewRec* activeView;
  viewRec* lastActiveView;
  int32_t windowBox[4];    // left, top, right, bottom in screen pixels
  int32_t graphicsBox[4];  // the client area
  sheetRec* next;
  double plotBounds[4];    // x0, y0, x1, y1
  double plotScale;
  uint8_t pagesAcross;     // 1..255
  uint8_t pagesDown;       // 1..255
  uint8_t plotDir;         // 0..3
  double scrollArea[4];    // min x, y, max x, y
  double scrollPos[2];
  int16_t zoomCount;       // 1..6
  sheetZoom zoom[sheetZoomMax];
};

// The view-layer event made from a native window message (message 220).
struct vwEventRec {
  int32_t kind;            // 0: none
  POINT where;             // client coordinates
  uint32_t modifiers;
  uint32_t key;
  uint32_t keyFlagged;
};

uint16_t sheetClassInit(uint16_t viewobjClass);
uint16_t sheetClassId();
int sheetIs(const void* object);
const vwListDesc* sheetListDesc();

int sheetAlloc(sheetRec** out);
sheetRec* sheetCreate(docRec* doc, modelRec* model, windRecord* window);
int sheetLink(sheetRec* sheet, docRec* doc, uint32_t position);
int sheetUnlink(sheetRec* sheet);
void sheetDetachWindow(sheetRec* sheet);
void sheetAttachWindow(sheetRec* sheet, windRecord* window);
int sheetCopy(const sheetRec* source, docRec* doc, sheetRec** out);
void sheetFree(sheetRec* sheet);
int sheetSetScale(sheetRec* sheet, double scale, int relative, const int32_t screen[2], const double centre[2],
                  int mode);
int sheetRecompute(sheetRec* sheet);
void sheetZoomPush(sheetRec* sheet);
void sheetZoomPop(sheetRec* sheet);
void sheetRedraw(sheetRec* sheet);
void sheetPlotBoxSet(sheetRec* sheet, const double bounds[4]);
int sheetPlotBox(double bounds[4], double* plotScale);
// Brings the sheet's window up to date (repaints it).
void sheetUpdateWindow(sheetRec* sheet);
// The native window message to a view-layer event (the message-220 table).
void evFromMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam, vwEventRec* out);
// Pixels per inch, or per millimetre when the current document's units are
// metric, in x and y.
void vwGetDpiUnits(double out[2]);

int vwOpSheetCopy(feArgs* args);
int vwOpScaleSheet2(feArgs* args);
int vwOpScrollSheet(feArgs* args);
int vwOpDList(feArgs* args);            // aDListState, aDListToggle
int vwOpDrawSheet(feArgs* args);        // aDrawSheet, aDrawSheetFlags
int vwOpCurSheet(feArgs* args);
int vwOpViewAllSheet(feArgs* args);
int vwOpSheetCorners3(feArgs* args);
int vwOpRollSheet(feArgs* args);
int vwOpSheetToScreen(feArgs* args);
int vwOpSheetWithName(feArgs* args);
int vwOpScrollAdjust(feArgs* args);
int vwOpSetScrollBars(feArgs* args);

#endif
