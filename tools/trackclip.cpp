// Cutting unbounded lines to the screen box.
#include "tools/trackclip.h"

#include "core/matrix.h"
#include "draw/xforms.h"
#include "views/sheet.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTiny = 1e-99;
constexpr double kUnbounded = 1e99;
constexpr double kScreenSize = 2048;

// The box (left, top, right, bottom as x0, y0, x1, y1) grown to hold the
// screen corners of the current sheet's plot bounds.
void addPlotBounds(double box[4]) {
  double bounds[4], scale = 1, m[16];
  if (sheetPlotBox(bounds, &scale) != 0 || vwSheetMatrix(11, m) != 0) return;
  const double corners[4][3] = {{bounds[0], bounds[1], 0},
                                {bounds[2], bounds[1], 0},
                                {bounds[0], bounds[3], 0},
                                {bounds[2], bounds[3], 0}};
  for (const auto& corner : corners) {
    double s[3];
    aPtTransform(3, corner, m, s);
    box[0] = std::min(box[0], s[0]);
    box[1] = std::min(box[1], s[1]);
    box[2] = std::max(box[2], s[0]);
    box[3] = std::max(box[3], s[1]);
  }
}

}  // namespace

int trackClipLine(const double* point, const double* direction, int usePlotBox, double* t0, double* t1) {
  double p[3], q[3], d[3];
  const double ahead[3] = {point[0] + direction[0], point[1] + direction[1], point[2] + direction[2]};
  vwWorldToScreen(point, p);
  vwWorldToScreen(ahead, q);
  for (int i = 0; i < 3; ++i) d[i] = q[i] - p[i];
  double box[4] = {0, 0, kScreenSize, kScreenSize};
  if (usePlotBox) addPlotBounds(box);
  double lower = -kUnbounded, upper = kUnbounded;
  bool bounded = false;
  for (int axis = 0; axis < 2; ++axis) {
    if (!(std::fabs(d[axis]) > kTiny)) continue;
    double a = (box[axis] - p[axis]) / d[axis];
    double b = (box[axis + 2] - p[axis]) / d[axis];
    if (a > b) std::swap(a, b);
    lower = std::max(lower, a);
    upper = std::min(upper, b);
    bounded = true;
  }
  if (!bounded && std::fabs(d[2]) > kTiny) {
    double reach = 0;
    for (int axis = 0; axis < 2; ++axis)
      reach = std::max({reach, std::fabs(p[axis] - box[axis]), std::fabs(p[axis] - box[axis + 2])});
    const double a = -reach / d[2], b = reach / d[2];
    lower = std::min(a, b);
    upper = std::max(a, b);
  }
  if (t0) *t0 = lower;
  if (t1) *t1 = upper;
  return 0;
}
