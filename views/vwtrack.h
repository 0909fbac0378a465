// View tracking and view control: panning a view by dragging, tracking a
// rubber-band box, a new view from a tracked box, and the view-control
// ball on which the current view's direction is turned. The loops poll the
// mouse (gxPollMouse) until the button is released.
#ifndef PLUMET_VIEWS_VWTRACK_H
#define PLUMET_VIEWS_VWTRACK_H

#include <windows.h>

#include <cstdint>

struct feArgs;
struct sheetRec;
struct viewRec;

// What the tracking here needs of the input tools above this layer; the
// program installs them at start-up (null members do nothing).
struct vwTrackHooks {
  // Hides the input cursor mark (before a press on a frame is tracked).
  void (*cursorMarkOff)();
  // The tool's tracked points, world coordinates, at most max of them into
  // out; answers how many.
  int (*trackedPoints)(double (*out)[3], int max);
  // Clears the tracking feedback.
  void (*clearFeedback)();
};
void vwSetTrackHooks(const vwTrackHooks* hooks);
const vwTrackHooks& vwTrackHooksInstalled();

// A new view of the current model on the current sheet from a box of
// window pixels (left, top, right, bottom in any order), scaled by scale
// about the box's centre: -207 without a current view, -206 without a
// current sheet, -217 for a box without width or height. The new view takes
// the previous current view's direction (the standard one when that was a
// draft view), looks at the world point under the box's centre, becomes
// current and active, and is drawn with its frame.
int vwViewFromBox(const int32_t box[4], double scale);
// aView's work: the first two tracked points taken to the screen make the
// box; a third point, when given, becomes its centre; a scale other than 1
// resizes the box about its centre (each side multiplied and rounded); the
// feedback is cleared and vwViewFromBox runs. *made is 0 with fewer than 2
// points (nothing done).
int vwViewFromPoints(const double (*points)[3], int count, double scale, int* made);

// Scrolls the view by each mouse movement while a button stays down,
// bringing the window up to date at each step.
int vwTrackPan(viewRec* view, POINT start);
// Tracks a rubber-band box (exclusive-or lines) from start while a button
// stays down: the corners (start first) into corners; answers 1 when the
// pointer left the start point (the drag is accepted), else 0.
int vwTrackBox(POINT start, int32_t corners[4]);

// The view-control ball in a rectangle of window pixels (left, top, right,
// bottom).
void vwViewControlDraw(const int32_t rect[4]);
// Turns the current view with the ball from start while a button stays
// down: -207 without a current view, -233 when start lies outside the
// ball's circle. At the release the view's normal and up follow the
// rotation and the view is recomputed and centred.
int vwViewControlTrack(POINT start, const int32_t rect[4]);

// The ball's mapping of a point (relative to the rectangle's origin, the
// rectangle inset by 7 already taken off) onto the unit sphere.
void vwBallVector(double x, double y, double w, double h, double out[3]);
// The rotation carrying the sphere vector from into to, about their cross
// product, as a 4x4 matrix applied to column vectors (p' = M p); when the
// cross product is shorter than 0.01 the axis is to x (0, 0, 1). Modifier
// bit 1 zeroes the y components of both vectors first (a turn about the
// vertical axis), bit 2 the x components (about the horizontal axis) and
// bit 8 the z components (about the line of sight). A step without a
// usable axis or vector (the pointer back on the ball's centre, or on the
// locked axis) is the identity.
void vwBallStep(const double from[3], const double to[3], uint32_t modifiers, double out[16]);

// The work-plane axis icon in the current view, 6 pixels a unit, placed 6
// pixels inside the top-left corner of the view's screen box, in the
// current colour. The caller decides whether it shows (the document's
// axis-icon flag, not while printing, not in the draft view of a sheet of
// several pages).
void vwDrawAxisIcon(viewRec* view);

// The operators (registered by vwInit).
int vwOpView(feArgs* args);              // aView "R#B"
int vwOpViewTrackPan(feArgs* args);      // aViewTrackPan "!A{II}Q[view]"
int vwOpViewTrackBox(feArgs* args);      // aViewTrackBox "!A{II}#A{DDDD}B"
int vwOpViewTrack(feArgs* args);         // aViewTrack "!A{II}RB#B"
int vwOpViewControlDraw(feArgs* args);   // aViewControlDraw "!A{4I}"
int vwOpViewControlTrack(feArgs* args);  // aViewControlTrack "!A{II}A{4I}"

#endif
