// World and screen transforms: the view hooks, points and boxes between
// world and screen space, and the world move and draw calls.
#include "draw/xforms.h"

#include "draw/gxdraw.h"

#include "core/debug.h"
#include "core/matrix.h"
#include "core/units.h"
#include "draw/csys.h"
#include "draw/gx.h"

#include <algorithm>
#include <cmath>

namespace {

vwViewHooks hooks{};
uint32_t worldCount = 0, worldHCount = 0;
int screenSpace = 0;
vwDashWalker dashWalker = nullptr;
void* drawWindow = nullptr;

const char* const kAssert = "Assert failed in DidUrur";

// x, y, z of a point through m, divided by the weight when that is neither
// 0 nor 1.
void project(const double* m, const double* in, double* out) {
  double r[4];
  for (int k = 0; k < 4; ++k) r[k] = m[4 * k] * in[0] + m[4 * k + 1] * in[1] + m[4 * k + 2] * in[2] + m[4 * k + 3];
  if (r[3] != 0 && r[3] != 1)
    for (int k = 0; k < 3; ++k) r[k] /= r[3];
  out[0] = r[0];
  out[1] = r[1];
  out[2] = r[2];
}

void worldSegment(int draw, const double* point) {
  if (dashWalker) {
    dashWalker(draw, point);
    return;
  }
  vwSegmentW(draw, point);
}

}  // namespace

void vwMapW(const double in[3], double out[3]) {
  double screen[3] = {in[0], in[1], in[2]};
  if (!screenSpace) project(csysTransform(), in, screen);
  out[0] = screen[0];
  out[1] = screen[1];
  out[2] = screen[2];
}

void vwSegmentW(int draw, const double point[3]) {
  double screen[3];
  vwMapW(point, screen);
  gxSegment(draw, screen);
}

void vwSetViewHooks(const vwViewHooks* next) { hooks = next ? *next : vwViewHooks{}; }

viewRec* vwCurViewRec() { return hooks.curView ? hooks.curView() : nullptr; }
sheetRec* vwCurSheetRec() { return hooks.curSheet ? hooks.curSheet() : nullptr; }

bool vwCurScreenBox(double box[4]) {
  const viewRec* view = vwCurViewRec();
  if (!view || !hooks.screenBox) return false;
  hooks.screenBox(view, box);
  return true;
}

uint32_t vwDrawFlags() { return hooks.drawFlags ? hooks.drawFlags() : 0; }

namespace {

// Counts a world-to-screen call; without a view logs it, reports the
// panic, copies the n coordinates and answers false.
bool worldToScreenView(uint32_t& count, const char* logLine, const double* in, double* out, int n) {
  ++count;
  if (vwCurViewRec()) return true;
  dbgPrintf(logLine, count);
  dbgPanic("%s: '%s'", kAssert, "no curview in xforms:vwWorldToScreen");
  std::copy(in, in + n, out);
  return false;
}

}  // namespace

void vwWorldToScreen(const double in[3], double out[3]) {
  if (worldToScreenView(worldCount, "vwWorlToScreen nCount=%d\n", in, out, 3)) project(csysTransform(), in, out);
}

void vwWorldToScreenH(const double in[4], double out[4]) {
  if (!worldToScreenView(worldHCount, "vwWorlToScreenH nCount=%d\n", in, out, 4)) return;
  double r[4];
  aPtTransform(4, in, csysTransform(), r);
  std::copy(r, r + 4, out);
}

void vwScreenToWorld(const double in[3], double out[3]) {
  const viewRec* view = vwCurViewRec();
  if (!view || !hooks.screenToWorld) {
    dbgPanic("%s: '%s'", kAssert, "no curview in vwScreenToWorld");
    std::copy(in, in + 3, out);
    return;
  }
  double m[16];
  hooks.screenToWorld(view, m);
  project(m, in, out);
}

int vwScreenBoxToWorld(const double min[3], const double max[3], double outMin[3], double outMax[3]) {
  double inverse[16];
  if (csysGetInverse(inverse) != 0) return -1;
  double lo[3], hi[3];
  for (int corner = 0; corner < 8; ++corner) {
    const double p[3] = {corner & 1 ? max[0] : min[0], corner & 2 ? max[1] : min[1], corner & 4 ? max[2] : min[2]};
    double w[3];
    project(inverse, p, w);
    for (int k = 0; k < 3; ++k) {
      lo[k] = corner ? std::min(lo[k], w[k]) : w[k];
      hi[k] = corner ? std::max(hi[k], w[k]) : w[k];
    }
  }
  std::copy(lo, lo + 3, outMin);
  std::copy(hi, hi + 3, outMax);
  return 0;
}

int vwCurPixelSize(double* size) {
  const viewRec* view = vwCurViewRec();
  if (!view || !hooks.screenToWorld) return -1;
  double m[16];
  hooks.screenToWorld(view, m);
  *size = std::sqrt(m[0] * m[0] + m[4] * m[4] + m[8] * m[8]);
  return 0;
}

int vwSheetMatrix(int kind, double out[16]) {
  const sheetRec* sheet = vwCurSheetRec();
  if (!sheet || !hooks.sheetMatrix) return -1;
  if (kind != 11 && kind != 12) return -2;
  hooks.sheetMatrix(sheet, kind, out);
  return 0;
}

void vwMoveToW(const double point[3]) { worldSegment(0, point); }
void vwLineToW(const double point[3]) { worldSegment(1, point); }

int vwScreenSpace() { return screenSpace; }

int vwSetScreenSpace(int flag) {
  const int old = screenSpace;
  screenSpace = flag;
  return old;
}

vwDashWalker vwSetDashWalker(vwDashWalker walker) {
  const vwDashWalker old = dashWalker;
  dashWalker = walker;
  return old;
}

void vwSetNoEndPixel(int flag) { gxSetNoEndPixel(flag); }

void vwDrawMarkerBox(const double point[3], int size) {
  double screen[3];
  vwWorldToScreen(point, screen);
  const int x = int(std::floor(screen[0] + 0.5)), y = int(std::floor(screen[1] + 0.5));
  const int half = size / 2;
  const RECT box{x - half, y - half, x + half + 1, y + half + 1};
  gxRect(gxRectFill, &box);
}

int vwLookAt(const double eye[3], const double target[3], const double up[3], double out[16]) {
  double z[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
  const double zl = std::sqrt(z[0] * z[0] + z[1] * z[1] + z[2] * z[2]);
  if (zl == 0) return -1;
  for (double& v : z) v /= zl;
  // y: up without its part along z; x completes a right-handed frame.
  const double along = up[0] * z[0] + up[1] * z[1] + up[2] * z[2];
  double y[3] = {up[0] - along * z[0], up[1] - along * z[1], up[2] - along * z[2]};
  const double yl = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
  if (yl < 1e-12) return -1;
  for (double& v : y) v /= yl;
  const double x[3] = {y[1] * z[2] - y[2] * z[1], y[2] * z[0] - y[0] * z[2], y[0] * z[1] - y[1] * z[0]};
  const double rotation[16] = {x[0], x[1], x[2], 0, y[0], y[1], y[2], 0, z[0], z[1], z[2], 0, 0, 0, 0, 1};
  const double back[3] = {-target[0], -target[1], -target[2]};
  vwPreTranslate(rotation, back, out);
  return 0;
}

void vwPreTranslate(const double m[16], const double v[3], double out[16]) {
  double t[16] = {1, 0, 0, v[0], 0, 1, 0, v[1], 0, 0, 1, v[2], 0, 0, 0, 1};
  matMulN(4, t, m, out);  // m t: the translation first
}

void vwPostTranslate(const double m[16], const double v[3], double out[16]) {
  double t[16] = {1, 0, 0, v[0], 0, 1, 0, v[1], 0, 0, 1, v[2], 0, 0, 0, 1};
  matMulN(4, m, t, out);  // t m: the translation last
}

void vwSetDrawWindow(void* window) { drawWindow = window; }
void* vwGetDrawWindow() { return drawWindow; }

uint32_t vwWorldToScreenCount() { return worldCount; }
uint32_t vwWorldToScreenHCount() { return worldHCount; }

void vwGetDpiUnits(double out[2]) {
  double dpi[3];
  gxGetDpi(dpi);
  out[0] = std::fabs(dpi[0]);
  out[1] = std::fabs(dpi[1]);
  unitFromMetric(2, out);
}
