// The program's current work plane, the plane facing a view, and the
// conversions between plane, world and pixel coordinates.
#include "views/wplane.h"
#include "views/wplane_internal.h"

#include "core/matrix.h"
#include "core/vec.h"
#include "views/current.h"
#include "views/model.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cmath>
#include <cstring>

namespace {

constexpr uint16_t kSerialMask = 0x7FFF;

wplaneRec* current = nullptr;
uint16_t serial = 0;

// The reference the current plane held goes back: a plane that nothing
// else holds (no model, no script value) goes with it, since nothing can
// reach it any more. Whoever makes another plane current for a while and
// means to come back holds a reference of its own meanwhile.
void giveBack(wplaneRec* plane) { feObjRefRelease(plane); }

// A homogeneous point through a 4x4 matrix, divided by its weight unless
// that is 0 or 1.
void project(const double* m, const double in[4], double out[3]) {
  double h[4];
  for (int row = 0; row < 4; ++row)
    h[row] = m[4 * row] * in[0] + m[4 * row + 1] * in[1] + m[4 * row + 2] * in[2] + m[4 * row + 3] * in[3];
  const double w = h[3];
  for (int i = 0; i < 3; ++i) out[i] = (w != 0 && w != 1) ? h[i] / w : h[i];
}

}  // namespace

wplaneRec* wpSetCurrent(wplaneRec* plane) {
  wplaneRec* previous = current;
  if (!plane) {
    // The reference goes back with the plane: kept, it would outlive the
    // model the plane belongs to.
    current = nullptr;
    giveBack(previous);
    return previous;
  }
  if (plane == current && !(plane->flags & wpStale)) return previous;
  wpint::refresh(plane);
  serial = uint16_t((serial + 1) & kSerialMask);
  feObjRefRetain(plane);
  current = plane;
  giveBack(previous);
  return previous;
}

wplaneRec* wpCurrent() { return current; }
wplaneRec* aCurWPlane() { return wpint::activePlane(); }
uint16_t wpSerial() { return serial; }

void wpFromView(viewRec* view) {
  if (!view || !vwCurModel() || !current) return;
  const viewState& state = view->states[0];
  double normal[3], right[3], up[3];
  vecNormalize3(state.normal, normal);
  vecCross3(state.up, normal, right);
  if (vecLen3(right) == 0) return;
  vecNormalize3(right, right);
  vecCross3(normal, right, up);
  wplaneRec* plane = wpTemp(vwCurModel(), current->origin, right, up);
  if (!plane) return;
  plane->flags |= wpFacing;
  wpSetCurrent(plane);
}

int wpConvert(int kind, const double in[3], intptr_t handle, double out[3]) {
  double v[3];
  vecCopy3(in, v);
  wplaneRec* plane = handle ? reinterpret_cast<wplaneRec*>(handle) : wpint::activePlane();
  const bool known = kind >= 0 && kind <= 3 && (!handle || wplaneIs(plane));
  if (!known || !plane) {
    vecCopy3(v, out);
    return known ? 0 : -1;
  }
  wpint::refresh(plane);
  const bool toWorld = kind < 2;
  const double* m = toWorld ? plane->planeToWorld : plane->worldToPlane;
  if (kind == 0 || kind == 2) aPtTransform(3, v, m, out);
  else vectXform(3, v, m, out);
  return 0;
}

void wpGetEquation(double out[4]) {
  if (!current) {
    for (int i = 0; i < 4; ++i) out[i] = 0;
    return;
  }
  wpint::refresh(current);
  std::memcpy(out, current->equation, 4 * sizeof(double));
}

void wpGetOrigin(double out[4]) { wpGetEquation(out); }

void wpGetAxis(int index, double out[3]) {
  const wplaneRec* plane = wpint::activePlane();
  xform4 identity;
  aMatrix(4, identity);
  const double* m = plane ? plane->planeToWorld : identity;
  if (index < 0 || index > 3) {
    vecSet3(out, 0, 0, 0);
    return;
  }
  for (int row = 0; row < 3; ++row) out[row] = m[4 * row + index];
}

void wpGetMatrices(double worldToPlane[16], double planeToWorld[16]) {
  if (!current) {
    aMatrix(4, worldToPlane);
    aMatrix(4, planeToWorld);
    return;
  }
  wpint::refresh(current);
  std::memcpy(worldToPlane, current->worldToPlane, sizeof(xform4));
  std::memcpy(planeToWorld, current->planeToWorld, sizeof(xform4));
}

void vwWorldToPixel(const double point[3], int32_t pixel[2]) {
  double screen[3];
  if (const double* m = vwCurXform()) {
    const double h[4] = {point[0], point[1], point[2], 1};
    project(m, h, screen);
  } else {
    vecCopy3(point, screen);
  }
  pixel[0] = int32_t(std::lround(screen[0]));
  pixel[1] = int32_t(std::lround(screen[1]));
}

void vwPixelToWorld(const int32_t pixel[2], double point[3]) {
  const double* m = vwCurXform();
  double back[16];
  if (!m || matInvert(4, m, back, 0) != 0) {
    vecSet3(point, pixel[0], pixel[1], 0);
    return;
  }
  // Two points of the eye ray through the pixel, at screen depths 0 and 1.
  const double nearH[4] = {double(pixel[0]), double(pixel[1]), 0, 1};
  const double farH[4] = {double(pixel[0]), double(pixel[1]), 1, 1};
  double nearP[3], farP[3], along[3];
  project(back, nearH, nearP);
  project(back, farH, farP);
  vecSub3(farP, nearP, along);
  double plane[4] = {0, 0, 1, 0};
  if (current) wpGetEquation(plane);
  const double rate = vecDot3(plane, along);
  const double height = vecDot3(plane, nearP) + plane[3];
  if (std::fabs(rate) < 1e-12) {
    vecCopy3(nearP, point);
    return;
  }
  vecAxpy3(-height / rate, nearP, along, point);
}

namespace wpint {

wplaneRec* activePlane() {
  if (!vwCurModel() || !current) return nullptr;
  refresh(current);
  return current;
}

void convertForScripts(double* point, int flag) {
  int kind;
  switch (flag) {
    case 1: kind = 0; break;
    case 2: kind = 1; break;
    case 257: kind = 2; break;
    case 258: kind = 3; break;
    default: return;
  }
  wpConvert(kind, point, 0, point);
}

}  // namespace wpint
