// Point markers: the fourteen small 8 x 8 bitmaps drawn at points, for
// selected end points, centre marks, tracking feedback and end marks.
//
// Styles (hot spot: the pixel placed on the point):
//   0 hollow square 5 x 5       7 filled circle
//   1 filled square 5 x 5       8 hollow diamond (end marks)
//     (point selection)         9 filled diamond (tracking feedback)
//   2 plus sign (centre mark)  10 small filled diamond
//   3 hollow triangle, up      11 filled triangle, point down
//   4 hollow triangle, down    12 vertical bar
//   5 diagonal cross           13 filled triangle, point up
//   6 hollow circle
// The bitmaps join the drawing layer's marker table the first time a marker
// is drawn (again after the layer was started over), and each style keeps
// the entry number the table gave it: fills add their patterns to the same
// table.
#ifndef PLUMET_GEOMETRY_MARKER_H
#define PLUMET_GEOMETRY_MARKER_H

enum { markStyleCount = 14 };

// One marker bitmap: its hot spot and eight rows, the leftmost pixel in
// the most significant bit.
struct markBitmap {
  int hotX, hotY;
  unsigned char rows[8];
};

// The bitmap of a style, or null outside 0..13.
const markBitmap* markBitmapOf(int style);

// Draws the style's marker at the world point's pixel in the current view,
// in draw mode 0-3 (-1: the current draw mode). Mode 1 (erase) also adds
// the point to the damaged region, so that what lay under the marker is
// drawn again. Answers 0; -1 for an unknown style (nothing drawn).
int markDraw(const double* point, int style, int mode);
// markDraw in the current draw mode; answers 0.
int markDrawCur(const double* point, int style);

#endif
