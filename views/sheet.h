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
struct vwCurRecords;

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
  int32_t kind;            // vwEventKind
  POINT where;             // client coordinates
  uint32_t modifiers;      // vwEventModifier
  uint32_t key;            // key events: the key code
  uint32_t keyFlagged;     // the key code with vwKey* flags
  uint32_t command;        // command keys (kind 18): the command code
};

enum vwEventKind : int32_t {
  vwEvkNone = 0,
  vwEvkButtonDown = 1,     // left button, also double clicks
  vwEvkButtonUp = 2,
  vwEvkKey = 3,
  vwEvkPaint = 4,
  vwEvkActivate = 5,       // also window creation
  vwEvkDeactivate = 6,
  vwEvkSize = 7,
  vwEvkMouseMove = 9,
  vwEvkCommand = 18,       // a command key
  vwEvkReturn = 19,        // the keys 10 and 13, and timer ticks
  vwEvkEndSession = 20,
  vwEvkRightDown = 21,
  vwEvkRightUp = 22,
  vwEvkMiddleDown = 23,
  vwEvkMiddleUp = 24,
};

enum vwEventModifier : uint32_t { vwModShift = 0x1, vwModControl = 0x2 };

// Flags of vwEventRec::keyFlagged.
enum : uint32_t {
  vwKeyShift = 0x0100,
  vwKeyControl = 0x0200,
  vwKeyAlt = 0x0800,
  vwKeyVirtual = 0x8000,   // a key code rather than a character
};

// Registers class "sheet" under viewobj and answers its id. The handler
// answers 100 (sheetFree), 107 and 108 (the attribute keys), 220 (a window
// message, a: message, b: wParam, c: lParam; nonzero when the event was
// handled), 300 (a new record in the slot a: sheetRec**, made when the slot
// is null), 344 (linked at the end of the current document, -212 without
// one, -229 for a sheet that a document holds already), 345 (sheetUnlink) and 402 (from the keyed list a: a new sheet, not
// linked, showing a new model with the current model's planes in a filling
// draft view, the list's keys but "type" set on it; into the slot b:
// sheetRec**).
uint16_t sheetClassInit(uint16_t viewobjClass);
uint16_t sheetClassId();
// 1 when object is a sheet record.
int sheetIs(const void* object);
// The sheet list of a document (head docRec::firstSheet).
const vwListDesc* sheetListDesc();

// A new record: its defaults are those of the preferences document's first
// sheet, or else page bounds (-4.25, 5.5, 4.25, -5.5), one page, plot and
// page scale 1 with view outlines shown; its matrices computed.
int sheetAlloc(sheetRec** out);
// A new sheet at the end of the document's list with a draft view of the
// model filling it. Without a model ("BadModel") or a document ("BadDoc")
// an internal error is reported and no sheet made (null).
sheetRec* sheetCreate(docRec* doc, modelRec* model, windRecord* window);
// Links the sheet into the document at position (0 head, ownedAppend end):
// a missing or taken title becomes the first free "Sheet ^0", the use
// count is raised, the views get view numbers of the document and their
// models are brought into it.
int sheetLink(sheetRec* sheet, docRec* doc, uint32_t position);
// Takes the sheet out of its document (message 345): -214 for a record that
// is not a sheet or has no owner. Signals vwEvSheetRemoved, gives the view
// numbers back, detaches the window and clears the owner.
int sheetUnlink(sheetRec* sheet);
// The window forgets the sheet; a current sheet is no longer current, nor
// is any view current.
void sheetDetachWindow(sheetRec* sheet);
// The window becomes the sheet's: its boxes are read, the scale set to 1
// about the centre of the draft view and the window, the zoom history
// cleared and the window title brought up to date.
void sheetAttachWindow(sheetRec* sheet, windRecord* window);
// A new sheet with the layout and page scale of source (when given), linked
// to doc (when given) with copies of source's views in the same order.
int sheetCopy(const sheetRec* source, docRec* doc, sheetRec** out);
// Message 100: the views go with the sheet's references to them, then the
// title and the record. A current or active sheet is no longer so.
void sheetFree(sheetRec* sheet);
// The page scale (times the current one when relative) with centre at the
// screen position: -235 at or below 1e-30, -234 at or above 1e30 (nothing
// changed). Mode 2 then refreshes the scroll bars; other nonzero modes make
// the sheet current and repaint it. Answers sheetRecompute's answer.
int sheetSetScale(sheetRec* sheet, double scale, int relative, const int32_t screen[2], const double centre[2],
                  int mode);
// The sheet's matrices from its zoom state: -235 or -234 for the page
// scale, -225 when the device factor cannot be inverted, -230 (matrices
// unchanged) when unit steps vanish against the centre. The views' screen
// boxes follow and their matrices are marked for rebuilding.
int sheetRecompute(sheetRec* sheet);
// The zoom history: a push keeps the current state (at most six, the
// oldest dropped); a pop brings back the previous one (one is always kept).
void sheetZoomPush(sheetRec* sheet);
void sheetZoomPop(sheetRec* sheet);
// Rotates the history by n entries (entry k to k + n modulo the count) and
// recomputes the sheet from the new current entry.
void sheetZoomRoll(sheetRec* sheet, int32_t n);
// Marks the views changed, recomputes their screen boxes, refits the draft
// view and repaints the window; signals vwEvSheetRedrawn.
void sheetRedraw(sheetRec* sheet);
void sheetPlotBoxSet(sheetRec* sheet, const double bounds[4]);
// The current sheet's plot bounds and plot scale: 0, or -1 without one.
int sheetPlotBox(double bounds[4], double* plotScale);
// Brings the sheet's window up to date (repaints it).
void sheetUpdateWindow(sheetRec* sheet);
// The native handle of the sheet's window, null without one.
HWND sheetHwnd(const sheetRec* sheet);
// The scroll area of the sheet: the extents of its draft view's model on
// the sheet, widened to the window; when it changed "mark %g %g
// aSetScrollHook cleartomark" runs (when the scripts define the hook) with
// the window's share of the area across and down.
void sheetScrollBars(sheetRec* sheet);
// Calls callback for every view of the current document's sheets that
// shows the current model, with the view current; the current view is
// restored afterwards. Answers the number of views.
int vwForEachViewOfModel(void (*callback)(viewRec* view, void* argument), void* argument, uint32_t drawFlags);

// The native window message to a view-layer event (the message-220 table).
void evFromMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam, vwEventRec* out);
// The sheet-window event dispatcher: answers nonzero when it handled the
// event. None is installed until window events arrive; null removes it.
typedef int (*sheetEventDispatch)(sheetRec* sheet, const vwEventRec* event);
void sheetSetEventDispatch(sheetEventDispatch dispatch);

// Painting sheet windows: the dispatcher answers a paint event (kind 4)
// by drawing the sheet's views from the tail of its list to the head (the
// head is in front; each view but the first drawn clears its box first) and
// answers 1; other events are left (0). sheetPaintInit installs the sheet
// window's event handler (vwSheetDispatch, views/vwevent.h), which paints
// the same way, as the sheet-window event dispatcher.
int sheetPaintDispatch(sheetRec* sheet, const vwEventRec* event);
void sheetPaintInit();
// Draws the sheet's views into its window, back to front.
void sheetDrawViews(sheetRec* sheet);

// The display-list switch ("$DLIST"): drawing from the models' display lists
// on or off, and the flag set while display lists are being rebuilt.
int sheetDListOn();
void sheetSetDListOn(int on);
int sheetDListRebuilding();
void sheetSetDListRebuilding(int rebuilding);

// The sheet members of the current-object hooks (views/current.h):
// sheetDoc, sheetActiveView (the draft view), sheetSetActiveView (the
// sheet's last active view), sheetFirstView, sheetViewCount, sheetWindow,
// sheetPlotScale and sheetViewBoxes.
void sheetFillCurRecords(vwCurRecords* records);

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
