// View frames: the frame a sheet window draws around each view (a title
// bar with a pop-up box above the view, a 3-pixel border whose outer parts
// are resize zones), what a point on it means, what a press there does, and
// the view under a point.
#ifndef PLUMET_VIEWS_VWFRAME_H
#define PLUMET_VIEWS_VWFRAME_H

#include <windows.h>

#include <cstdint>

struct sheetRec;
struct viewRec;

// The frame geometry of a view, from its screen box grown by 1 pixel on
// each side (l, t, r, b). Rectangles hold their edges (closed).
struct vwFrameRectSet {
  RECT box;    // the screen box grown by 1
  RECT outer;  // (l - 3, t - 16, r + 3, b + 3)
  RECT title;  // (l - 3, t - 16, r + 3, t + 1)
  RECT popup;  // the title bar inset by 1, 16 pixels wide at its left end
  RECT inner;  // box inset by 12 from the left, right and bottom: beyond it the border resizes
};
void vwFrameRects(const viewRec* view, vwFrameRectSet* rects);

// What a point of a sheet window is on (vwFrameHit).
enum vwFrameHitCode {
  vwHitNone = 0,       // nothing, or the active view's own box
  vwHitActivate = 1,   // make the view under the point active (vwFrameAction only)
  vwHitOtherView = 3,  // another view: activate it
  vwHitTitle = 4,
  vwHitPopup = 5,
  vwHitTop = 6,
  vwHitFrame = 7,      // inside the active view's frame but on no zone
  vwHitSide = 8,       // left or right edge
  vwHitBottom = 9,
  vwHitBottomRight = 10,
  vwHitBottomLeft = 11,
};

// The view whose frame a sheet shows as active: its last activated view,
// else its draft view.
viewRec* vwFramedView(const sheetRec* sheet);
// The hit code of a point (client pixels) of the sheet's window: 0 on a
// sheet locked against view editing; the active view's frame zones (the
// draft view has no frame); 3 on another view; else 0.
int vwFrameHit(const sheetRec* sheet, POINT point);
// What a press with that hit code does: 1 and 3 make the view under the
// point current and active and bring it to the front when it has the
// autofront flag and is not the draft view; 5 runs
// "mark [x y] aViewPopup cleartomark"; the others do nothing.
void vwFrameAction(sheetRec* sheet, POINT point, int code);
// The first view of the sheet whose screen box holds the point (edges
// included); none gives the trace alert "TCannot find sheet matching point"
// and answers the draft view.
viewRec* sheetViewAtPoint(const sheetRec* sheet, POINT point);

// The outer box a view keeps: the frame's for the active view (when it is
// not the draft view), the screen box grown by 1 for the others.
void vwSetOuterBox(viewRec* view);
// Draws the view's frame in its sheet's window (the draft view has none):
// with full set and no page being printed, the grey title bar with the
// view's title centred, the pop-up icon and the border lines (and, unless
// erasing, the title bar invalidated); otherwise, when the sheet shows view
// bounds, a plain rectangle around the screen box grown by 1. Erasing draws
// in the background colour.
void vwDrawFrame(viewRec* view, int erase, int full);
// Whether a page is being printed (the printing module's answer; none: 0).
void vwSetFramePrintingQuery(int (*printing)());

#endif
