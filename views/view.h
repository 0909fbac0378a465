// Views: a view shows one model of a document inside a rectangle of a
// sheet. Each sheet owns an ordered list of views, one of them its draft
// view (the flat page of two-dimensional drafting). A view holds the
// matrices that carry world coordinates to the sheet and the screen,
// rebuilt lazily after every change, and a short history of view states.
// This module also keeps the current view and the view stack.
#ifndef PLUMET_VIEWS_VIEW_H
#define PLUMET_VIEWS_VIEW_H

#include "core/matrix.h"

#include <cstdint>

struct feArgs;
struct sheetRec;
struct modelRec;
struct docRec;

enum viewFlag : uint16_t {
  viewCreated = 0x0001,
  viewDraft = 0x0002,
  viewChanged = 0x0008,     // matrices must be rebuilt
  viewAutoFront = 0x0100,
  viewAttached = 0x1000,
  viewGridShown = 0x2000,
};

struct viewState {
  double scale;
  double pan[2];
  double centre[3];
  double normal[3];
  double up[3];
};

enum { viewStateMax = 6 };

struct viewRec {
  uint16_t classId;
  uint8_t refCount;         // release is refused while it is not 0
  char* title;
  sheetRec* sheet;
  uint16_t flags;           // viewFlag
  viewRec* next;            // next view of the sheet
  double box[4];            // sheet coordinates x1, y1, x2, y2
  int32_t screenBox[4];     // left, top, right, bottom
  int32_t outerBox[4];      // with the frame
  modelRec* model;          // reference counted
  uint32_t index;           // unique within the document
  uint32_t stamp;           // raised whenever the matrices are rebuilt
  xform4 base1;
  xform4 base2;
  xform4 scaleMatrix;
  xform4 orientation;
  xform4 orientScale;
  xform4 baseOrient;
  xform4 screenToWorld;
  xform4 worldToScreen;
  uint8_t stateCount;       // 1..6
  uint8_t spare;
  viewState states[viewStateMax];
  uint32_t serial;
  int16_t renderMode;       // 0 wire frame, 1 and 2 rendered
  uint16_t perspective;
  double perspectiveEye[3];
  uint32_t extraWord;       // copied with the view
  double extra[3];
  double perspectiveDist;
  double perspectiveAngle;
};

struct vwCurRecords;
struct vwViewHooks;

// Registers class "view" under viewobj and answers its id. The handler
// answers 100 (vwFree), 300 (a new record in the slot a: viewRec**, made
// when the slot is null), 313 (a copy into the slot a: viewRec**, for the
// current view's sheet; -207 without a current view) and 345 (vwDelete);
// every other message goes to viewobj.
uint16_t viewClassInit(uint16_t viewobjClass);
uint16_t viewClassId();
// 1 when object is a view record.
int viewIs(const void* object);

// Links the view at the head of the sheet's list, shows the model, raises
// the view's reference count (the sheet's reference) and the sheet's view
// count (at 2 the draft view is recomputed), marks the view attached, gives
// it a view number of the sheet's document and marks the document changed.
int vwAttachToSheet(viewRec* view, sheetRec* sheet, modelRec* model);
// A new view of the model attached to the sheet; with a box (x1, y1, x2,
// y2 in sheet coordinates) it covers that box and looks at its centre, a
// draft view without one fills the sheet. A draft view becomes the sheet's
// draft view (its "active view"). Signals vwEvViewCreated. Null when no
// record was made.
viewRec* vwCreate(sheetRec* sheet, modelRec* model, const double* box, int draft);
// A copy of the view (reference count 0, not attached, marked changed) for
// the sheet: the model is the view's own, or, when the sheet belongs to
// another document, the model at the same position in that document's
// model list. Signals vwEvViewCreated. Panics "ExpectedView" or
// "ExpectedSheet" (and answers vwErrBadObject) for records of other
// classes.
int vwCopy(const viewRec* view, sheetRec* sheet, viewRec** out);
// Removes the view from its sheet (message 345): -214 without a sheet,
// -208 for a draft view on a sheet of more than one page. The sheet's draft
// and active views fall back, a current view is replaced by the draft view,
// the view number is given back and the document marked changed. The
// sheet's reference is dropped: a view nobody else holds is freed.
int vwDelete(viewRec* view);
// Message 100: frees a view whose reference count is 0 (signalling
// vwEvViewFreed and releasing its model); otherwise logs "view ref cnt !=
// 0 in free" and answers -1. A freed current view is no longer current.
int vwFree(viewRec* view);
// Before a scale or pan change: the current view state is kept in the
// history (at most six states, the oldest dropped).
void vwPushState(viewRec* view);
// Makes the view current: its sheet and model become current, its window
// the drawing target, a changed view is rebuilt, and its world-to-screen
// matrix with its stamp becomes the base of the coordinate-system stack.
// Bit 0x0200 of the hit mode is set for a view that is not a draft view.
// Null clears the current view and model.
void vwSetCurView(viewRec* view);
// Answers the current view (also in *old) and makes view current when it
// differs.
viewRec* vwGetSetCurView(viewRec* view, viewRec** old);
// The number of the current view within its document (0 without one).
uint32_t vwCurViewIndex();
// The view stack: op 1 pushes the current view (holding a reference) and
// answers the depth minus 1; op 2 pops into the current view and drops the
// reference, answering 0, or -1 after "SView stack underflow" when empty;
// other ops answer -1.
int vwViewStack(int op);
// Pushes the current view and makes view current; vwPopView pops.
void vwPushView(viewRec* view);
void vwPopView();
// The number of views on the stack.
int vwViewStackDepth();
// Forgets the stack without touching the views (shut-down, tests).
void vwViewStackForget();
// Prepares drawing into the view (null: the current sheet's draft view):
// the sheet's window becomes the drawing target, clipped to the view's
// screen box, and the coordinate limits follow that box.
void vwSetPort(viewRec* view);
// The draft view of the sheet covers the window's view rectangle (the
// graphics box without a window): its sheet box through the sheet's
// inverse matrix, its screen box the rectangle.
void vwFitDraftView(sheetRec* sheet);
// Rebuilds the matrices of a changed view (nothing for an unchanged one):
// world-to-screen = the sheet's sheet-to-screen x base 1 x scale x
// orientation (the orientation applied first), screen-to-world its
// inverse; raises the change stamp.
void vwRebuildMatrices(viewRec* view);
// The screen and outer boxes from the sheet box through the sheet's matrix.
void vwComputeScreenBox(viewRec* view);
// Changes the model shown (use counts of both models; the old one is freed
// when its count reaches 0).
void vwSetModel(viewRec* view, modelRec* model);
viewRec* vwViewOfIndex(const docRec* doc, uint32_t index);

// Erases and invalidates the view's outer box (whole) or screen box in its
// sheet's window, when the window exists.
void vwInvalidate(viewRec* view, int whole);
// Fills the view's screen box with the background and invalidates it.
void vwErase(viewRec* view);
// Rebuilds the view's matrices and screen box, redrawing it when asked;
// the previous current view is restored. -214 for a record that is not a
// view.
int vwRecompute(viewRec* view, int redraw);
// Sets any of centre, normal and up (null: unchanged) and marks the view
// changed; a draft view on a sheet of more than one page is put back to the
// standard orientation and answers -208. With recentre the view is
// recomputed and centred at scale factor 1 on its screen box.
int vwSetDirection(viewRec* view, const double* centre, const double* normal, const double* up, int recentre);
// Sets the sheet box (corners ordered), moving the pan with the box centre
// when asked, and recomputes the screen and outer boxes.
void vwSetCorners(viewRec* view, const double box[4], int keepCentre);
// Draws the view's objects (mode 0 interruptible, a positive mode a
// number of ticks for the timed drawer).
void vwDrawView(viewRec* view, int mode);
// Invalidates every view of the current document's sheets that have a
// window (aInvalAll).
void vwInvalAll();

// The view members of the current-object hooks (views/current.h): viewSheet,
// viewModel, viewHighlighted, viewDrawFrame and viewMakeCurrent.
void viewFillCurRecords(vwCurRecords* records);
// The hooks through which the world and screen transforms read views and
// sheets (views/xforms.h): curView, curSheet, screenBox, screenToWorld and
// sheetMatrix (drawFlags belongs to the redraw module).
void viewFillViewHooks(vwViewHooks* hooks);

#endif
