// The view operators.
//
// A view maps a world point w to its sheet as scale * q + pan, where q is
// w in the view's orientation (relative to the view's centre): zooming and
// panning a view work on q, keeping the world point under one screen
// position at another.
#include "views/view.h"
#include "views/view_internal.h"

#include "core/debug.h"
#include "core/matrix.h"
#include "core/sfloat.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/sheet_internal.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFailed = 1e30;  // a ratio whose division failed

viewRec* viewArg(const feArgs* args, int i) {
  auto* view = static_cast<viewRec*>(args->in[i].record);
  return viewIs(view) ? view : nullptr;
}

bool isDraft(const viewRec* view) { return view->sheet && view->sheet->activeView == view; }

void toScreen(const sheetRec* sheet, const double p[2], double out[2]) {
  const double in[3] = {p[0], p[1], 0};
  double r[3];
  aPtTransform(3, in, sheet->zoom[0].worldToSheet, r);
  out[0] = r[0];
  out[1] = r[1];
}

// num / den, kFailed when the division fails or gives no positive ratio.
double ratio(double num, double den) {
  const double r = num / den;
  return num > 0 && den > 0 && std::isfinite(r) ? r : kFailed;
}

int checkScale(double scale) {
  if (!(scale > 1e-30)) return vwErrScaleTooSmall;  // a NaN too
  if (scale >= 1e30) return vwErrScaleTooBig;
  return 0;
}

// The view's new state is drawn: the view is rebuilt while current and its
// box erased for repainting; the current view stays.
void showNewState(viewRec* view) {
  view->flags |= viewChanged;
  vwPushView(view);
  vwErase(view);
  vwPopView();
}

// Scales the view so that q-space point qc (with scale kept ratio times)
// lands at the sheet point target.
void zoomOnto(viewRec* view, double factor, const double qc[2], const double target[2]) {
  vwPushState(view);
  viewState& s = view->states[0];
  s.scale *= factor;
  s.pan[0] = target[0] - s.scale * qc[0];
  s.pan[1] = target[1] - s.scale * qc[1];
  showNewState(view);
}

// The pixels one sheet unit spans across and down.
void pixelsPerUnit(const sheetRec* sheet, double out[2]) {
  out[0] = std::fabs(sheet->zoom[0].worldToSheet[0]);
  out[1] = std::fabs(sheet->zoom[0].worldToSheet[5]);
}

// Fits the q-space box (x0, y0, x1, y1) into the pixel box (left, top,
// right, bottom): nothing when a division fails both ways.
void fitInto(viewRec* view, const double q[4], const double pixels[4]) {
  const sheetRec* sheet = view->sheet;
  double unit[2];
  pixelsPerUnit(sheet, unit);
  const double k = view->states[0].scale;
  const double factor = std::min(ratio(pixels[2] - pixels[0], (q[2] - q[0]) * k * unit[0]),
                                 ratio(pixels[3] - pixels[1], (q[3] - q[1]) * k * unit[1]));
  if (factor == kFailed) return;
  const double qc[2] = {(q[0] + q[2]) / 2, (q[1] + q[3]) / 2};
  double target[2];
  sheetScreenToSheet(sheet, (pixels[0] + pixels[2]) / 2, (pixels[1] + pixels[3]) / 2, target);
  zoomOnto(view, factor, qc, target);
}

}  // namespace

int vwOpCurView(feArgs* args) {
  viewRec* view = vwCurView();
  if (!view) return vwErrNoCurView;
  *reinterpret_cast<void**>(args->out[0]) = view;
  return 0;
}

int vwOpCurViewX(feArgs* args) {
  viewRec* view = vwCurView();
  if (view)
    if (const int answer = fePushValue(view)) return answer;
  *static_cast<int32_t*>(args->out[0]) = view ? 1 : 0;
  return 0;
}

// aScaleView2 (view, scale, relative, x, y, toX, toY): the world point under
// (x, y) ends under (toX, toY). A draft view follows its sheet's zoom.
int vwOpScaleView2(feArgs* args) {
  viewRec* view = viewArg(args, 0);
  if (!view || !view->sheet) return vwErrBadObject;
  sheetRec* sheet = view->sheet;
  const double scale = args->in[1].d;
  const int relative = args->in[2].i;
  double from[2], to[2];
  sheetScreenToSheet(sheet, args->in[3].i, args->in[4].i, from);
  sheetScreenToSheet(sheet, args->in[5].i, args->in[6].i, to);
  if (isDraft(view)) {
    const int32_t screen[2] = {args->in[5].i, args->in[6].i};
    sheetZoomPush(sheet);
    const int answer = sheetSetScale(sheet, scale, relative, screen, from, 0);
    if (answer) sheetZoomPop(sheet);
    sheetUpdateWindow(sheet);
    return answer;
  }
  const double k = view->states[0].scale;
  const double wanted = relative ? k * scale : scale;
  if (const int answer = checkScale(wanted)) return answer;
  const double q[2] = {(from[0] - view->states[0].pan[0]) / k, (from[1] - view->states[0].pan[1]) / k};
  zoomOnto(view, wanted / k, q, to);
  return 0;
}

// aScrollView (view, dx, dy): the view's centre moves by a pixel offset.
int vwOpScrollView(feArgs* args) {
  viewRec* view = viewArg(args, 0);
  if (!view || !view->sheet) return vwErrBadObject;
  const int32_t dx = args->in[1].i, dy = args->in[2].i;
  if (isDraft(view) || (dx == 0 && dy == 0)) return 0;
  viewState& s = view->states[0];
  double screen[2];
  toScreen(view->sheet, s.pan, screen);
  vwPushState(view);
  sheetScreenToSheet(view->sheet, screen[0] + dx, screen[1] + dy, s.pan);
  showNewState(view);
  return 0;
}

int vwOpRegenView(feArgs*) { return vwRegenView(); }

int vwOpViewOrder(feArgs* args) {
  viewRec* view = viewArg(args, 0);
  if (!view) return vwErrBadObject;
  return args->in[1].i == 0 ? vwBringToFront(view) : vwSendToBack(view);
}

// aViewAllView (inset): the model's objects fill the current view less
// inset pixels on each side.
int vwOpViewAllView(feArgs* args) {
  viewRec* view = vwCurView();
  if (!view || !view->sheet) return vwErrNoCurView;
  if (isDraft(view)) return vwOpViewAllSheet(args);
  sieveRec* sieve = view->model ? modelGetList(view->model) : nullptr;
  int16_t packed[6];
  if (!sieve || sieveExtent(sieve, packed, 0) != 0) return 0;
  double world[6];
  sfloatUnpack(6, reinterpret_cast<const uint16_t*>(packed), world);
  vwRebuildMatrices(view);
  double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
  for (int corner = 0; corner < 8; ++corner) {
    const double p[3] = {world[corner & 1 ? 3 : 0], world[corner & 2 ? 4 : 1], world[corner & 4 ? 5 : 2]};
    double q[3];
    aPtTransform(3, p, view->orientation, q);
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], q[k]);
      hi[k] = std::max(hi[k], q[k]);
    }
  }
  dbgPrintf("fit view: %3R, %3R\n", lo, hi);
  const int32_t inset = args->in[0].i;
  const int32_t* b = view->screenBox;
  const double pixels[4] = {double(b[0] + inset), double(b[1] + inset), double(b[2] - inset), double(b[3] - inset)};
  const double q[4] = {lo[0], lo[1], hi[0], hi[1]};
  fitInto(view, q, pixels);
  return 0;
}

// aViewCorners3 (from, to): what lies under the screen box from fills the
// screen box to. A draft view follows its sheet's zoom.
int vwOpViewCorners3(feArgs* args) {
  viewRec* view = vwCurView();
  if (!view || !view->sheet) return vwErrNoCurView;
  if (isDraft(view)) return vwOpSheetCorners3(args);
  const auto* a = static_cast<const int32_t*>(args->in[0].block);
  const auto* b = static_cast<const int32_t*>(args->in[1].block);
  const viewState& s = view->states[0];
  double p0[2], p1[2];
  sheetScreenToSheet(view->sheet, a[0], a[1], p0);
  sheetScreenToSheet(view->sheet, a[2], a[3], p1);
  const double q[4] = {(std::min(p0[0], p1[0]) - s.pan[0]) / s.scale, (std::min(p0[1], p1[1]) - s.pan[1]) / s.scale,
                       (std::max(p0[0], p1[0]) - s.pan[0]) / s.scale, (std::max(p0[1], p1[1]) - s.pan[1]) / s.scale};
  const double pixels[4] = {double(std::min(b[0], b[2])), double(std::min(b[1], b[3])), double(std::max(b[0], b[2])),
                            double(std::max(b[1], b[3]))};
  fitInto(view, q, pixels);
  return 0;
}

int vwOpRollView(feArgs* args) { return vwRollStates(vwCurView(), args->in[0].i); }

int vwOpSetViewModel(feArgs* args) {
  return vwShowModel(viewArg(args, 0), static_cast<modelRec*>(args->in[1].record));
}

// aSwitchViewIndices: the current view and its sheet's draft view exchange
// their numbers (and so the objects bound to them).
int vwOpSwitchViewIndices(feArgs*) {
  viewRec* view = vwCurView();
  if (!view) return vwErrNoCurView;
  sheetRec* sheet = view->sheet;
  viewRec* draft = sheet ? sheet->activeView : nullptr;
  if (!draft) return vwErrNoCurSheet;
  std::swap(view->index, draft->index);
  vwSetCurViewIndex(view->index);
  vwInvalidate(view, 0);
  vwInvalidate(draft, 0);
  return 0;
}

// aViewBox (0), aViewCenter (1), aViewWidth (2), aViewHeight (3).
int vwOpViewBox(feArgs* args) {
  int32_t box[4];
  if (const int answer = vwCurViewScreenBox(box)) return answer;
  auto out = [args](int i) { return static_cast<int32_t*>(args->out[i]); };
  switch (args->in[0].i) {
    case 0:
      for (int k = 0; k < 4; ++k) *out(k) = box[k];
      break;
    case 1:
      *out(0) = (box[0] + box[2]) / 2;
      *out(1) = (box[1] + box[3]) / 2;
      break;
    case 2: *out(0) = box[2] - box[0]; break;
    default: *out(0) = box[3] - box[1]; break;
  }
  return 0;
}

int vwOpGetViewScale(feArgs* args) {
  double scale = 1.0;
  const int answer = vwGetViewScale(args->in[0].i, &scale);
  *static_cast<double*>(args->out[0]) = scale;
  return answer;
}

int vwOpInvalAll(feArgs*) {
  vwInvalAll();
  return 0;
}
