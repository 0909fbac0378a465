// The drawing layer's primitives. Everything here draws into the current
// window of draw/gx.h with its colour, pen and draw mode, and does nothing
// without a device context:
// - pen moves and lines in integer device coordinates, kept within the
//   coordinate limits L1/L2 by midpoint subdivision, with the dotted pen
//   styles drawn pixel by pixel;
// - segments in double device coordinates, clipped to +-16777216, which
//   the segment hook (gx slot 1) can take over;
// - the polygon collector, cubic and rational Beziers, arcs and ellipses;
// - rectangles and circles by verb, fills by kind;
// - marker and pattern bitmaps, small bitmaps, bitmaps, text and cached
//   text bitmaps, and scrolling.
//
// Single pixels that the layer sets itself (end pixels, dots, one-pixel
// arcs) follow the draw mode: in exclusive-or mode they are XORed with the
// pen colour, so a figure drawn twice leaves the image as it was.
#ifndef PLUMET_DRAW_GXDRAW_H
#define PLUMET_DRAW_GXDRAW_H

#include "draw/gdi.h"
#include "draw/gx.h"

#include <windows.h>

#include <cstdint>

// ---- Lines ---------------------------------------------------------------

// Records the pen position; the device pen moves only when the point lies
// within -L2..L2 both ways (while collecting a polygon it is appended).
void gxMoveTo(int32_t x, int32_t y);
// Draws from the pen position to the point, which becomes the pen position.
// Parts beyond L2 are left out by midpoint subdivision; solid lines set
// their end pixel unless the no-end-pixel flag is set.
void gxLineTo(int32_t x, int32_t y);
// The no-end-pixel flag: when set, solid lines and device arcs leave their
// last pixel out. gxSetNoEndPixel answers the old value.
int gxSetNoEndPixel(int flag);
int gxNoEndPixel();

// Moves (draw 0) or draws (draw 1) to a point in double device coordinates:
// through the segment hook when one is set; otherwise rounded to integers,
// or clipped to +-16777216 first when this point or the one before cannot
// be held in 32 bits.
void gxSegment(int draw, const double point[2]);
// The double pen position (the last point given to gxSegment, also while
// the hook takes the segments).
void gxSegmentPos(double out[2]);

// 0 starts collecting a polygon (moves and lines append their points);
// any other flag fills what was collected with a solid brush of the current
// colour (the window colour in draw mode 1), outlined by the current pen,
// and stops collecting.
void gxPolyEnd(int flag);
// True while a polygon is being collected.
bool gxPolyCollecting();

// ---- Curves --------------------------------------------------------------

// A cubic Bezier from the double pen position through p1 and p2 to p3,
// flattened by subdivision (depth at most 10); parts wholly outside the
// current view's screen box are only moved over. Ends with a move to p3.
void gxBezier(const double p1[2], const double p2[2], const double p3[2]);
// A rational Bezier of count control points (x, y, weight) held
// homogeneously (x and y already multiplied by the weight), drawn from the
// pen position, which should be at the first point.
void gxBezierN(int count, const double* points);

// An elliptical arc: centre, the end points of the two semi-axes (the arc
// is centre + a1 cos t + a2 sin t), start and sweep in turns. The device
// draws it when it can (axis-aligned ellipses and circles); other arcs
// become cubic Beziers through gxSegment.
void gxArc(const double centre[2], const double axisPoint1[2], const double axisPoint2[2], double start,
           double sweep);
// The Bezier form of an arc given by its centre and semi-axis vectors: the
// sweep is halved until at most 0.2 turn; answers the number of segments n
// (0 when nothing can be drawn) and, when out holds room for 2 + 6 max
// doubles, writes the start point and then for each segment its two control
// points and end point. More than max segments answers n with out unwritten.
int gxArcBeziers(const double centre[2], const double a1[2], const double a2[2], double start, double sweep,
                 double* out, int max);

// ---- Rectangles and circles ----------------------------------------------

enum {
  gxRectFrame = 2,     // hollow brush, current pen
  gxRectFill = 3,      // by draw mode: window text, background, or invert
  gxRectInvert = 4,
  gxRectErase = 5,     // background brush, then invalidated
  gxRectBackground = 6,
  gxRectValidate = 7,
};
void gxRect(int verb, const RECT* rect);
// 1 filled with the brush of the fill kind, no outline; 2 outline with the
// grid pen; 6 filled with the window colour, no outline.
void gxCircle(int verb, const RECT* rect, int fill);
// 0 white, 2 grey, 3 light grey, 4 window colour, 5 window-text colour,
// 0x8000 | index a pattern entry, others black; draw mode 1 always the
// background brush.
void gxFillRect(const RECT* rect, int kind);

int gxPtInRect(const POINT* point, const RECT* rect);  // right and bottom excluded
void gxInsetRect(RECT* rect, int dx, int dy);
void gxSetRect(RECT* rect, int left, int top, int right, int bottom);
// out = a and b intersected; answers 1 when that is not empty (else out is
// emptied and 0 answered).
int gxIntersectRect(const RECT* a, const RECT* b, RECT* out);

// ---- Bitmaps -------------------------------------------------------------

// Adds a marker/pattern entry from rows of (width + 7) / 8 bytes whose 1
// bits are ink; answers its index.
int gxMakePatternBrush(int hotX, int hotY, int width, int height, const uint8_t* bits);
// Blits an entry with its hot spot at the point. Modes: -1 the current draw
// mode, 0 ink in the current colour over what is there, 1 the same in the
// window colour, 2 ink inverted, 3 ink in the colour on the background
// colour. Nothing at points outside 1..32766, for unknown entries, or while
// draw flag 8 is set.
void gxDrawMarkerBitmap(const POINT* point, int index, int mode);
// A monochrome device bitmap from rows padded to rowAlign bytes whose 1
// bits are ink; with rowAlign 2 the rows are 16-bit words (bytes swapped).
HBITMAP gxMakeBitmap(int width, int height, int rowAlign, const uint8_t* bits);
// A small bitmap: words width, height, then rows of 16-bit words (high bit
// leftmost), drawn at the point as a marker; modes 0-3 as markers, others
// the current draw mode.
void gxDrawBits(const POINT* point, const uint16_t* bits, int mode);
// Copies a bitmap to a device context: mode 2 stretched over the
// rectangle, others centred in it at the bitmap's own size.
void gxDrawBitmap(HDC dc, HBITMAP bitmap, const RECT* rect, int mode);

// ---- Text ----------------------------------------------------------------

// Text with its baseline at the point, in the current font.
void gxTextOut(const POINT* point, const char* text, int start, int length);
// Text drawn through the text-bitmap cache with its baseline at the point,
// blitted in the current draw mode (as markers: in draw mode 0 the current
// colour over what is there).
void gxTextToBitmap(const POINT* point, const gxFontSpec* font, const char* text, int length);

// ---- Scrolling -----------------------------------------------------------

// Scrolls the current window's contents within the rectangle; pending
// repaints move with the content and the uncovered part is erased,
// invalidated and repainted at once.
void gxScrollRect(const RECT* rect, const POINT* delta);

#endif
