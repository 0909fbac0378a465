// Drawing arrowheads through the drawing layer: filled outlines as polygons
// in the current colour, open ones as polylines, in the solid line font.
#include "objects/arrow.h"

#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"
#include "objects/lnfont.h"
#include "objects/pen.h"

namespace {

int32_t drawPoints(int32_t type, const double* pts, int32_t count) {
  if (count <= 0) return count;
  lnfontSelect(0);
  const bool filled = arrowIsFilled(type) != 0;
  if (filled) gxPolyEnd(0);
  vwMoveToW(pts);
  for (int32_t i = 1; i < count; ++i) vwLineToW(pts + 3 * i);
  if (filled) gxPolyEnd(1);
  return count;
}

}  // namespace

extern "C" int32_t arrowDraw(int32_t type, const double p[3], const double q[3], double s, const double* v) {
  double pts[3 * arrowMaxPoints];
  return drawPoints(type, pts, arrowPoints(type, p, q, s, v, pts));
}

extern "C" int32_t arrowDrawSized(int32_t type, const double p[3], const double q[3], double L, double W, double S,
                                  const double* v) {
  double pts[3 * arrowMaxPoints];
  const int32_t count = arrowPointsSized(type, p, q, L, W, S, v, pts);
  gxStatePush();
  penSelect(0);
  drawPoints(type, pts, count);
  gxStatePop();
  return count;
}
