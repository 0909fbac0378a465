// Views: a view shows one model of a document inside a rectangle of a
// sheet. Each sheet owns an ordered list of views, one of them its draft
// view (the flat page of two-dimensional drafting). A view holds the
// matrices that carry world coordinates to the sheet and the screen,
// rebuilt lazily after every change, and a short history of view states.
// This module also keeps the current view and the view stack.
#ifndef PLUMET_VIEWS_VIEW_H
#define PLUMET_VIEWS_VIEW_H

#include "core/matrix.h"

#include <windows.h>

#include <cstdint>

struct feArgs;
struct sheetRec;
struct modelRec;
struct docRec;
struct gobjRec;

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

// Registers class "view" under viewobj, installs the sieve's mapping of
// pixel rectangles of the current view to world space, and answers the
// class id. The handler answers 100 (vwFree), 107 and 108 (the attribute
// keys), 300 (a new record in the slot a: viewRec**, made when the slot is
// null), 306 (the sheet box's corners at z = 0 into a: six doubles, minimum
// first), 313 (a copy into the slot a: viewRec**, for the current view's
// sheet; -207 without a current view), 321 (the sheet box's corners
// through the matrix a, the pan following the box's centre), 344 (joins
// the current sheet: -212 without a current document, -206 without a
// current sheet; nothing for an attached view) and 345 (vwDelete); every
// other message goes to viewobj.
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
// the objects bound to the view's number are deleted
// (vwDeleteOwnedObjects), the number is given back and the document marked
// changed. The
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
// Rebuilds the orientation and base matrices; with keepCentre the pan puts
// the view's centre on the middle of its sheet box (not for a draft view).
// The view is marked changed (a current view is installed again).
void vwRebuild(viewRec* view, int keepCentre);
// Draws the view's objects into its sheet's window, the view current for
// the time: mode 0 signals vwEvViewDrawn and draws interruptibly (the
// interrupt keys polled every 30 ticks); a positive mode is a number of
// ticks after which the timed drawer stops (it skips views nested as
// objects). Nothing without a window or when the view's box lies outside
// the window. The drawing window, the gx state and the current view are
// restored.
void vwDrawView(viewRec* view, int mode);
// Layer-sorted drawing (views/vwsort.h) orders the box's objects first.
// Erases and invalidates the current sheet window's view rectangle
// (aInvalAll).
void vwInvalAll();

// The view's screen box (null: the current view; no view: zeros) into out,
// intersected with its sheet's pixel box (the window's view rectangle) when
// clip is set. Answers the sheet window's handle (null without one).
HWND vwScreenBox(const viewRec* view, int clip, int32_t out[4]);
// The current view's screen box; for a draft view the sheet window's view
// rectangle. -207 without a current view.
int vwCurViewScreenBox(int32_t box[4]);
// The view an object belongs to: the view of the current document whose
// number is the object's owner number, else the current view.
viewRec* vwViewOfObject(const gobjRec* object);
// 0 when the view with that number in the current document shows the
// current model, else -1.
int vwIndexShowsCurModel(uint32_t index);
// The views of the current sheet that show the current model (at most max,
// in list order) into views; answers how many were stored.
int sheetViewsOfCurModel(viewRec** views, int max);
// Sets the number the current view is drawn and selected with (objects
// owned by another number are not drawn in it).
void vwSetCurViewIndex(uint32_t index);
// Deletes (message 345) every object of the view's model whose owner number
// is the view's number; the document's changed marks stay as they were.
// Answers how many were deleted.
int vwDeleteOwnedObjects(viewRec* view);
// Shows another model of the view's document: -214 for a record that is not
// a view or a model, or a model of another document. The view is rebuilt
// and repainted.
int vwShowModel(viewRec* view, modelRec* model);
// The view's place in its sheet's list (the head is in front): to the head,
// or immediately before the sheet's draft view (the head when the draft view
// is first or absent). -214 for a view without a sheet.
int vwBringToFront(viewRec* view);
int vwSendToBack(viewRec* view);
// Rotates the view's states by n positions: each state moves n places on
// (modulo the count), so n = 1 makes the last state current. The view is
// marked changed and repainted. -207 for no view or no states.
int vwRollStates(viewRec* view, int32_t n);
// The current view's scale by kind: 0 the view scale, 1 times the sheet's
// plot scale, 2 divided by it, 3 the plot scale, 4 the last plot scale over
// the plot scale (1 until plot scales are remembered). *out is 1.0 and -1
// answered without a sheet or view, or for another kind.
int vwGetViewScale(int kind, double* out);
// Display-list regeneration (aRegenView): -1 while display lists are off;
// -207 without a current view. Display lists record nothing yet, so with
// lists on every object of the current view's model but hidden ones is
// drawn into the view directly; the time taken goes to the debug log.
int vwRegenView();
// The number of regenerations so far.
uint32_t vwRegenCount();

// The view members of the current-object hooks (views/current.h): viewSheet,
// viewModel, viewHighlighted, viewDrawFrame and viewMakeCurrent.
void viewFillCurRecords(vwCurRecords* records);
// The hooks through which the world and screen transforms read views and
// sheets (draw/xforms.h): curView, curSheet, screenBox, screenToWorld and
// sheetMatrix (drawFlags belongs to the redraw module).
void viewFillViewHooks(vwViewHooks* hooks);

// The view operators (registered by vwInit).
int vwOpCurView(feArgs* args);
int vwOpCurViewX(feArgs* args);
int vwOpScaleView2(feArgs* args);
int vwOpScrollView(feArgs* args);
int vwOpRegenView(feArgs* args);
int vwOpViewOrder(feArgs* args);      // aBringViewToFront (0), aSendViewToBack (1)
int vwOpViewAllView(feArgs* args);
int vwOpViewCorners3(feArgs* args);
int vwOpRollView(feArgs* args);
int vwOpSetViewModel(feArgs* args);
int vwOpSwitchViewIndices(feArgs* args);
int vwOpViewBox(feArgs* args);        // aViewBox (0), aViewCenter (1), aViewWidth (2), aViewHeight (3)
int vwOpGetViewScale(feArgs* args);
int vwOpInvalAll(feArgs* args);

#endif
