// View tracking: panning by dragging, the rubber-band box, the box that
// follows the pointer and the new view made from a tracked box.
#include "views/vwtrack.h"

#include "core/matrix.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"
#include "fe/opcall.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/sheet_internal.h"
#include "views/view.h"
#include "views/vwframe.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

vwTrackHooks hooks{};

// The drawing layer aims at the current sheet's window for a loop; the
// previous target comes back when the guard goes.
struct windowGuard {
  HWND saved;
  explicit windowGuard(HWND window) : saved(gxSetWindow(window ? window : gxGetWindow())) {}
  ~windowGuard() { gxSetWindow(saved); }
};

HWND curSheetWindow() {
  const sheetRec* sheet = vwCurSheet();
  return sheet ? sheetHwnd(sheet) : nullptr;
}

RECT ordered(const int32_t c[4]) {
  return RECT{std::min(c[0], c[2]), std::min(c[1], c[3]), std::max(c[0], c[2]), std::max(c[1], c[3])};
}

// The box in exclusive-or lines (drawn twice it is gone).
void xorBox(const int32_t corners[4]) {
  gxStatePush();
  gxSetDrawMode(2);
  gxSetColor(1);
  RECT r = ordered(corners);
  ++r.right;
  ++r.bottom;
  gxRect(gxRectFrame, &r);
  gxStatePop();
}

bool samePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

void toScreen(const double world[3], double out[3]) {
  vwWorldToScreen(world, out);
}

}  // namespace

void vwSetTrackHooks(const vwTrackHooks* next) { hooks = next ? *next : vwTrackHooks{}; }
const vwTrackHooks& vwTrackHooksInstalled() { return hooks; }

int vwViewFromBox(const int32_t box[4], double scale) {
  viewRec* previous = vwCurView();
  if (!previous) return vwErrNoCurView;
  sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  const RECT r = ordered(box);
  if (r.right == r.left || r.bottom == r.top) return vwErrBadViewLimits;
  // The direction and the world point under the box's centre, as the
  // previous view shows them.
  vwRebuildMatrices(previous);
  viewState direction = previous->states[0];
  const bool previousDraft = (previous->flags & viewDraft) != 0;
  if (previousDraft) {
    const double normal[3] = {0, 0, 1}, up[3] = {0, 1, 0};
    vwSetDirection(previous, nullptr, normal, up, 0);
    std::memcpy(direction.normal, normal, sizeof normal);
    std::memcpy(direction.up, up, sizeof up);
    vwRebuildMatrices(previous);
  }
  const double middle[3] = {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, 0};
  double centre[3];
  aPtTransform(3, middle, previous->screenToWorld, centre);
  double corner0[2], corner1[2];
  sheetScreenToSheet(sheet, r.left, r.top, corner0);
  sheetScreenToSheet(sheet, r.right, r.bottom, corner1);
  const double sheetBox[4] = {std::min(corner0[0], corner1[0]), std::min(corner0[1], corner1[1]),
                              std::max(corner0[0], corner1[0]), std::max(corner0[1], corner1[1])};
  viewRec* view = vwCreate(sheet, previous->model ? previous->model : vwCurModel(), sheetBox, 0);
  if (!view) return vwErrBadObject;
  vwSetCurView(view);
  view->states[0].scale = direction.scale * scale;
  vwSetDirection(view, centre, direction.normal, direction.up, 0);
  vwRebuild(view, 1);
  vwRecompute(view, 0);
  vwSetActiveView(view);
  vwSetCurView(view);
  vwDrawFrame(view, 0, 1);
  vwDrawView(view, 0);
  return 0;
}

int vwViewFromPoints(const double (*points)[3], int count, double scale, int* made) {
  *made = 0;
  if (count < 2) return 0;
  *made = 1;
  double a[3], b[3];
  toScreen(points[0], a);
  toScreen(points[1], b);
  int32_t box[4] = {int32_t(std::lround(std::min(a[0], b[0]))), int32_t(std::lround(std::min(a[1], b[1]))),
                    int32_t(std::lround(std::max(a[0], b[0]))), int32_t(std::lround(std::max(a[1], b[1])))};
  if (count >= 3) {
    double c[3];
    toScreen(points[2], c);
    const int32_t w = box[2] - box[0], h = box[3] - box[1];
    box[0] = int32_t(std::lround(c[0] - w / 2.0));
    box[1] = int32_t(std::lround(c[1] - h / 2.0));
    box[2] = box[0] + w;
    box[3] = box[1] + h;
  }
  if (scale != 1.0) {
    const double cx = (box[0] + box[2]) / 2.0, cy = (box[1] + box[3]) / 2.0;
    const double w = std::round((box[2] - box[0]) * scale), h = std::round((box[3] - box[1]) * scale);
    box[0] = int32_t(std::lround(cx - w / 2));
    box[1] = int32_t(std::lround(cy - h / 2));
    box[2] = box[0] + int32_t(w);
    box[3] = box[1] + int32_t(h);
  }
  if (hooks.clearFeedback) hooks.clearFeedback();
  return vwViewFromBox(box, scale);
}

int vwTrackPan(viewRec* view, POINT start) {
  if (!view || !viewIs(view) || !view->sheet) return vwErrBadObject;
  HWND window = sheetHwnd(view->sheet);
  windowGuard guard(window);
  POINT last = start, p{};
  while (gxPollMouse(&p)) {
    if (samePoint(p, last)) continue;
    feArg in[3];
    in[0].record = view;
    in[1].i = p.x - last.x;
    in[2].i = p.y - last.y;
    feArgs args{in, 3, nullptr, 0, 0};
    vwOpScrollView(&args);
    if (window) UpdateWindow(window);
    last = p;
  }
  return 0;
}

int vwTrackBox(POINT start, int32_t corners[4]) {
  windowGuard guard(curSheetWindow());
  corners[0] = corners[2] = start.x;
  corners[1] = corners[3] = start.y;
  xorBox(corners);
  POINT p{};
  int down = 1;
  while (down) {
    down = gxPollMouse(&p);
    if (p.x == corners[2] && p.y == corners[3]) continue;
    xorBox(corners);
    corners[2] = p.x;
    corners[3] = p.y;
    xorBox(corners);
  }
  xorBox(corners);
  return corners[2] != corners[0] || corners[3] != corners[1] ? 1 : 0;
}

namespace {

// The tracked points through the hook (none without one).
int trackedPoints(double (*out)[3], int max) { return hooks.trackedPoints ? hooks.trackedPoints(out, max) : 0; }

}  // namespace

int vwOpView(feArgs* args) {
  double points[3][3];
  const int count = trackedPoints(points, 3);
  int made = 0;
  const int answer = vwViewFromPoints(points, count, args->in[0].d, &made);
  *static_cast<int32_t*>(args->out[0]) = made && answer == 0 ? 1 : 0;
  return answer;
}

int vwOpViewTrackPan(feArgs* args) {
  const auto* start = static_cast<const int32_t*>(args->in[0].block);
  return vwTrackPan(static_cast<viewRec*>(args->in[1].record), POINT{start[0], start[1]});
}

int vwOpViewTrackBox(feArgs* args) {
  const auto* start = static_cast<const int32_t*>(args->in[0].block);
  int32_t corners[4];
  const int accepted = vwTrackBox(POINT{start[0], start[1]}, corners);
  auto* out = static_cast<double*>(args->out[0]);
  for (int k = 0; k < 4; ++k) out[k] = corners[k];
  *static_cast<int32_t*>(args->out[1]) = accepted;
  return 0;
}

// aViewTrack (start, scale, flag): a box of the tracked corners' size times
// scale / 2 about the pointer follows it while the button is down; at the
// release (or, with the flag, once the pointer moved) it is erased and the
// view made from it.
int vwOpViewTrack(feArgs* args) {
  const auto* start = static_cast<const int32_t*>(args->in[0].block);
  const double scale = args->in[1].d;
  const int acceptEarly = args->in[2].i;
  auto* result = static_cast<int32_t*>(args->out[0]);
  *result = 0;
  if (!vwCurView()) return vwErrNoCurView;
  double points[2][3];
  if (trackedPoints(points, 2) < 2) return 0;
  double a[3], b[3];
  toScreen(points[0], a);
  toScreen(points[1], b);
  const double halfW = std::fabs(a[0] - b[0]) * scale / 2, halfH = std::fabs(a[1] - b[1]) * scale / 2;
  windowGuard guard(curSheetWindow());
  auto boxAt = [&](POINT p, int32_t box[4]) {
    box[0] = int32_t(std::lround(p.x - halfW));
    box[1] = int32_t(std::lround(p.y - halfH));
    box[2] = int32_t(std::lround(p.x + halfW));
    box[3] = int32_t(std::lround(p.y + halfH));
  };
  POINT last{start[0], start[1]}, p{};
  int32_t box[4];
  boxAt(last, box);
  xorBox(box);
  while (gxPollMouse(&p)) {
    if (samePoint(p, last)) continue;
    xorBox(box);
    last = p;
    boxAt(last, box);
    xorBox(box);
    if (acceptEarly) break;
  }
  xorBox(box);
  if (hooks.clearFeedback) hooks.clearFeedback();
  // The box the pointer left is the new view's, at the scale given.
  const double cx = (box[0] + box[2]) / 2.0, cy = (box[1] + box[3]) / 2.0;
  const double w = std::round(std::fabs(a[0] - b[0]) * scale), h = std::round(std::fabs(a[1] - b[1]) * scale);
  int32_t viewBox[4] = {int32_t(std::lround(cx - w / 2)), int32_t(std::lround(cy - h / 2)), 0, 0};
  viewBox[2] = viewBox[0] + int32_t(w);
  viewBox[3] = viewBox[1] + int32_t(h);
  const int answer = vwViewFromBox(viewBox, scale);
  *result = answer == 0 ? 1 : 0;
  return answer;
}
