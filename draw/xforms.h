// World and screen coordinates: the current view and sheet, points and boxes
// carried between world space and screen space by the current view's
// matrices, and the move and draw calls in world coordinates through which
// every object class draws itself (objects never hand world coordinates to
// the device primitives).
//
// The world-to-screen matrix is the current transform of the coordinate-
// system stack (draw/csys.h), which the view code loads when drawing
// starts. The view and sheet records themselves belong to the view and
// sheet modules; xforms reads what it needs of them through vwViewHooks.
#ifndef PLUMET_DRAW_XFORMS_H
#define PLUMET_DRAW_XFORMS_H

#include <windows.h>

#include <cstdint>

struct viewRec;
struct sheetRec;
struct feArgs;

// What xforms and the primitives ask of the view and sheet modules. Each
// member left null answers "none": no current view or sheet, no screen box,
// draw flags 0.
struct vwViewHooks {
  viewRec* (*curView)();
  sheetRec* (*curSheet)();
  // The view's screen box (left, top, right, bottom).
  void (*screenBox)(const viewRec* view, double box[4]);
  // The view's screen-to-world matrix (16 doubles).
  void (*screenToWorld)(const viewRec* view, double m[16]);
  // The sheet's sheet-to-screen matrix (kind 11) or its inverse (kind 12).
  void (*sheetMatrix)(const sheetRec* sheet, int kind, double m[16]);
  // The redraw module's draw flags (8: markers are not drawn).
  uint32_t (*drawFlags)();
};
// Installs the hooks (copied); null removes them all.
void vwSetViewHooks(const vwViewHooks* hooks);

viewRec* vwCurViewRec();
sheetRec* vwCurSheetRec();
// The current view's screen box; false (box untouched) without a view.
bool vwCurScreenBox(double box[4]);
uint32_t vwDrawFlags();

// World to screen through the current transform; the result is divided by
// its weight when that is neither 0 nor 1. Without a current view the call
// is logged with its count ("vwWorlToScreen nCount=%d"), a panic reported
// and the point copied. out may be in.
void vwWorldToScreen(const double in[3], double out[3]);
// vwWorldToScreen as the script operator aWorldToScreen ("!A{DDD}#A{DDD}"):
// the point in, the screen point out; without a current view the point
// comes back unchanged. Registered with the class "view".
int vwOpWorldToScreen(feArgs* args);
// The same for a homogeneous point (four doubles, no division).
void vwWorldToScreenH(const double in[4], double out[4]);
// Screen to world through the current view's screen-to-world matrix;
// without a view a panic and the point copied.
void vwScreenToWorld(const double in[3], double out[3]);
// The world box of a screen box: its eight corners through the inverse of
// the current transform. Answers 0, or -1 for a singular transform (outputs
// untouched).
int vwScreenBoxToWorld(const double min[3], const double max[3], double outMin[3], double outMax[3]);
// World units per screen unit: the length of the first column of the view's
// screen-to-world matrix. Answers 0, or -1 without a view (size untouched).
int vwCurPixelSize(double* size);
// 11: the current sheet's sheet-to-screen matrix, 12 its inverse. Answers
// 0; -1 without a current sheet, -2 for another kind.
int vwSheetMatrix(int kind, double out[16]);

// Move and draw to a world point: through the dash walker while one is set,
// otherwise transformed (projectively) unless the screen-space flag is set,
// and handed to gxSegment.
void vwMoveToW(const double point[3]);
void vwLineToW(const double point[3]);
// The screen-space flag: points given to vwMoveToW and vwLineToW are taken
// as screen coordinates. Answers the old value.
int vwSetScreenSpace(int flag);
int vwScreenSpace();
// The dash walker of the active line font, null for none (plain lines):
// draw 0 moves, 1 draws, to a world point. Answers the old one.
typedef void (*vwDashWalker)(int draw, const double point[3]);
vwDashWalker vwSetDashWalker(vwDashWalker walker);
// The plain move (draw 0) or draw (1) to a world point that the dash walker
// issues: the point mapped as vwMapW maps it, handed to gxSegment.
void vwSegmentW(int draw, const double point[3]);
// A world point on the screen: through the current transform (projectively)
// unless the screen-space flag is set, when it is copied. out may be in.
void vwMapW(const double in[3], double out[3]);
// The no-end-pixel flag of the primitives (draw/gxdraw.h).
void vwSetNoEndPixel(int flag);

// Fills a square of size pixels (half size size / 2, toward zero, each side
// of the centre, inclusive) at the screen image of a world point, in the
// window-text colour (gxRect verb 3).
void vwDrawMarkerBox(const double point[3], int size);

// A view matrix looking from eye to target: a rotation that makes the
// direction from the eye to the target the screen's z axis and up its y
// axis, after moving the target to the origin. Answers 0, or -1 when the
// direction is zero or parallel to up (out untouched).
int vwLookAt(const double eye[3], const double target[3], const double up[3], double out[16]);
// m with a translation by v applied first (pre) or last (post).
void vwPreTranslate(const double m[16], const double v[3], double out[16]);
void vwPostTranslate(const double m[16], const double v[3], double out[16]);

// The window object drawn into; saved and restored around view drawing.
void vwSetDrawWindow(void* window);
void* vwGetDrawWindow();

// Pixels per inch of the drawing device, or per millimetre when the current
// units are metric, in x and y.
void vwGetDpiUnits(double out[2]);

// The call counters of vwWorldToScreen and vwWorldToScreenH (counted while
// there is no view, for the log).
uint32_t vwWorldToScreenCount();
uint32_t vwWorldToScreenHCount();

#endif
