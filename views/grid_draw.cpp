// Drawing the grid into a view: the lattice of the current work plane
// mapped to the view's pixels, clipped to its screen box.
#include "views/grid.h"

#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"
#include "views/current.h"
#include "views/view.h"
#include "views/wplane.h"

#include <algorithm>
#include <cmath>

namespace {

// More lattice points than a screen can hold are never walked.
constexpr double kMaxPoints = 4.0e6;
constexpr int kAxisMark = 10;

struct Plane {
  double origin[3] = {0, 0, 0};
  double right[3] = {1, 0, 0};
  double up[3] = {0, 1, 0};
};

Plane currentPlane() {
  Plane p;
  if (const wplaneRec* plane = wpCurrent()) {
    std::copy(plane->origin, plane->origin + 3, p.origin);
    std::copy(plane->right, plane->right + 3, p.right);
    std::copy(plane->up, plane->up + 3, p.up);
  }
  return p;
}

void toScreen(const double world[3], double out[2]) {
  double s[3];
  vwWorldToScreen(world, s);
  out[0] = s[0];
  out[1] = s[1];
}

// The plane's origin and the pixel offsets of one step along each axis.
struct Lattice {
  double s0[2], sx[2], sy[2];
};
Lattice latticeOf(const Plane& plane, double step) {
  Lattice l{};
  double p[3];
  toScreen(plane.origin, l.s0);
  for (int i = 0; i < 3; ++i) p[i] = plane.origin[i] + plane.right[i] * step;
  toScreen(p, l.sx);
  for (int i = 0; i < 3; ++i) p[i] = plane.origin[i] + plane.up[i] * step;
  toScreen(p, l.sy);
  for (int i = 0; i < 2; ++i) {
    l.sx[i] -= l.s0[i];
    l.sy[i] -= l.s0[i];
  }
  return l;
}

void dot(int x, int y) {
  const RECT r{x, y, x + 1, y + 1};
  gxRect(gxRectFill, &r);
}
void cross(int x, int y) {
  const RECT h{x - 1, y, x + 2, y + 1};
  const RECT v{x, y - 1, x + 1, y + 2};
  gxRect(gxRectFill, &h);
  gxRect(gxRectFill, &v);
}

// One lattice over the box: style 2 single points, style 3 crosses.
void drawLattice(const Plane& plane, double step, const int32_t box[4], int style) {
  if (!(step > 0) || !std::isfinite(step)) return;
  const Lattice l = latticeOf(plane, step);
  const double lx = std::hypot(l.sx[0], l.sx[1]);
  const double ly = std::hypot(l.sy[0], l.sy[1]);
  if (!(lx >= gridMinPixelStep) || !(ly >= gridMinPixelStep)) return;
  const double det = l.sx[0] * l.sy[1] - l.sx[1] * l.sy[0];
  if (!std::isfinite(det) || std::fabs(det) < 1e-9) return;  // the plane is seen edge on
  // The box's corners in lattice coordinates give the range to walk.
  double imin = 1e300, imax = -1e300, jmin = 1e300, jmax = -1e300;
  const double cx[2] = {double(box[0]), double(box[2])};
  const double cy[2] = {double(box[1]), double(box[3])};
  for (double x : cx) {
    for (double y : cy) {
      const double dx = x - l.s0[0], dy = y - l.s0[1];
      const double i = (dx * l.sy[1] - dy * l.sy[0]) / det;
      const double j = (l.sx[0] * dy - l.sx[1] * dx) / det;
      imin = std::min(imin, i);
      imax = std::max(imax, i);
      jmin = std::min(jmin, j);
      jmax = std::max(jmax, j);
    }
  }
  imin = std::floor(imin);
  jmin = std::floor(jmin);
  imax = std::ceil(imax);
  jmax = std::ceil(jmax);
  if (!std::isfinite(imin + imax + jmin + jmax) || (imax - imin + 1) * (jmax - jmin + 1) > kMaxPoints) return;
  for (double i = imin; i <= imax; ++i) {
    for (double j = jmin; j <= jmax; ++j) {
      const int x = int(std::lround(l.s0[0] + i * l.sx[0] + j * l.sy[0]));
      const int y = int(std::lround(l.s0[1] + i * l.sx[1] + j * l.sy[1]));
      if (x < box[0] || x >= box[2] || y < box[1] || y >= box[3]) continue;
      if (style == 2)
        dot(x, y);
      else
        cross(x, y);
    }
  }
}

// Short strokes from the plane's origin along its two axes.
void drawAxisMarks(const Plane& plane, const int32_t box[4]) {
  const Lattice l = latticeOf(plane, 1.0);
  const int x0 = int(std::lround(l.s0[0])), y0 = int(std::lround(l.s0[1]));
  if (x0 < box[0] || x0 >= box[2] || y0 < box[1] || y0 >= box[3]) return;
  for (const double* axis : {l.sx, l.sy}) {
    const double n = std::hypot(axis[0], axis[1]);
    if (!(n > 0) || !std::isfinite(n)) continue;
    gxMoveTo(x0, y0);
    gxLineTo(x0 + int(std::lround(axis[0] / n * kAxisMark)), y0 + int(std::lround(axis[1] / n * kAxisMark)));
  }
}

}  // namespace

void gridDraw(viewRec* view, const gridRec* grid, int erase) {
  if (!view || !grid) return;
  if (erase) {
    gridRedrawView(view);
    return;
  }
  const bool switched = vwCurView() != view;
  if (switched) vwPushView(view);
  gxStatePush();
  gxClipPush();
  vwSetPort(view);
  gxSetDrawMode(0);
  const Plane plane = currentPlane();
  const int32_t* box = view->screenBox;
  const double spacing = grid->spacing;
  const uint32_t steps = grid->steps < 1 ? 1 : grid->steps;
  drawLattice(plane, spacing / steps, box, 2);
  if (steps > 1) drawLattice(plane, spacing, box, 3);
  drawAxisMarks(plane, box);
  gxClipPop();
  gxStatePop();
  if (switched) vwPopView();
}
