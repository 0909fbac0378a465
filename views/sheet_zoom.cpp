// The zoom state of a sheet: its page scale and centre, the matrices
// between the sheet and the window derived from them, the zoom history,
// repainting, the plot box and the scroll area.
#include "views/sheet.h"
#include "views/sheet_internal.h"

#include "core/bbox.h"
#include "core/matrix.h"
#include "core/sfloat.h"
#include "core/units.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "objects/event.h"
#include "objects/sieve.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/view.h"
#include "views/vwboxes.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kScaleMin = 1e-30, kScaleMax = 1e30;

bool usable(double factor) { return factor != 0 && std::isfinite(factor) && std::isfinite(1.0 / factor); }

// The views follow new sheet matrices: rebuilt when next used, screen boxes
// now, the draft view covering the window. A current view of the sheet is
// rebuilt at once, so that the transform in use stays its own.
void viewsFollow(sheetRec* sheet) {
  for (viewRec* view = sheet->firstView; view; view = view->next) {
    view->flags |= viewChanged;
    if (view != sheet->activeView) vwComputeScreenBox(view);
  }
  vwFitDraftView(sheet);
  if (viewRec* current = vwCurView(); current && current->sheet == sheet) {
    current->flags |= viewChanged;
    vwSetCurView(current);
  }
}

}  // namespace

int sheetCheckScale(double scale) {
  if (!(scale > kScaleMin)) return vwErrScaleTooSmall;  // a NaN too
  if (scale >= kScaleMax) return vwErrScaleTooBig;
  return 0;
}

bool sheetModelExtents(const sheetRec* sheet, double area[4]) {
  viewRec* draft = sheet->activeView;
  if (!draft || !draft->model) return false;
  sieveRec* sieve = modelGetList(draft->model);
  int16_t box[6];
  if (!sieve || sieveExtent(sieve, box, 0) != 0) return false;
  double world[6];
  sfloatUnpack(6, reinterpret_cast<const uint16_t*>(box), world);
  vwRebuildMatrices(draft);
  for (int corner = 0; corner < 8; ++corner) {
    const double p[3] = {world[corner & 1 ? 3 : 0], world[corner & 2 ? 4 : 1], world[corner & 4 ? 5 : 2]};
    double s[3];
    aPtTransform(3, p, draft->orientScale, s);
    area[0] = corner ? std::min(area[0], s[0]) : s[0];
    area[1] = corner ? std::min(area[1], s[1]) : s[1];
    area[2] = corner ? std::max(area[2], s[0]) : s[0];
    area[3] = corner ? std::max(area[3], s[1]) : s[1];
  }
  return true;
}

int sheetRecompute(sheetRec* sheet) {
  sheetZoom& z = sheet->zoom[0];
  if (const int answer = sheetCheckScale(z.pageScale)) return answer;
  double dpi[2];
  vwGetDpiUnits(dpi);
  const double fx = dpi[0] * z.pageScale, fy = dpi[1] * z.pageScale;
  if (!usable(fx) || !usable(fy)) return vwErrBadScale;
  const double sx = z.screen[0], sy = z.screen[1], cx = z.centre[0], cy = z.centre[1];
  // x to the right, y down the screen: the centre lands on its screen point.
  const xform4 toScreen = {fx, 0, 0, sx - fx * cx, 0, -fy, 0, sy + fy * cy, 0, 0, 1, 0, 0, 0, 0, 1};
  const double ox = toScreen[3], oy = toScreen[7];
  // A unit step along x or y that lands on the origin's own point: the
  // centre lies too far out for the scale.
  if (!std::isfinite(ox) || !std::isfinite(oy) || ox + fx == ox || oy - fy == oy) return vwErrTooFarOut;
  const xform4 toSheet = {1 / fx, 0, 0, cx - sx / fx, 0, -1 / fy, 0, cy + sy / fy, 0, 0, 1, 0, 0, 0, 0, 1};
  std::memcpy(z.worldToSheet, toScreen, sizeof toScreen);
  std::memcpy(z.sheetToWorld, toSheet, sizeof toSheet);
  viewsFollow(sheet);
  return 0;
}

int sheetSetScale(sheetRec* sheet, double scale, int relative, const int32_t screen[2], const double centre[2],
                  int mode) {
  sheetZoom& z = sheet->zoom[0];
  const double value = relative ? scale * z.pageScale : scale;
  if (const int answer = sheetCheckScale(value)) return answer;
  z.pageScale = value;
  z.centre[0] = centre[0];
  z.centre[1] = centre[1];
  z.screen[0] = screen[0];
  z.screen[1] = screen[1];
  const int answer = sheetRecompute(sheet);
  if (mode == 2) {
    sheetScrollBars(sheet);
  } else if (mode) {
    sheetSetCurrent(sheet);
    sheetUpdateWindow(sheet);
    if (mode == 1) sheetRedraw(sheet);
  }
  return answer;
}

int sheetZoomAbout(sheetRec* sheet, double scale, int relative, const int32_t screen[2], const double centre[2]) {
  sheetZoomPush(sheet);
  const int answer = sheetSetScale(sheet, scale, relative, screen, centre, 2);
  if (answer) sheetZoomPop(sheet);
  sheetUpdateWindow(sheet);
  return answer;
}

void sheetZoomPush(sheetRec* sheet) {
  if (sheet->zoomCount < sheetZoomMax) ++sheet->zoomCount;
  std::memmove(&sheet->zoom[1], &sheet->zoom[0], sizeof(sheetZoom) * size_t(sheet->zoomCount - 1));
}

void sheetZoomPop(sheetRec* sheet) {
  if (sheet->zoomCount <= 1) return;
  --sheet->zoomCount;
  std::memmove(&sheet->zoom[0], &sheet->zoom[1], sizeof(sheetZoom) * size_t(sheet->zoomCount));
  viewsFollow(sheet);
}

void sheetZoomRoll(sheetRec* sheet, int32_t n) {
  const int64_t count = sheet->zoomCount;
  if (count <= 1) return;
  sheetZoom rolled[sheetZoomMax];
  for (int64_t k = 0; k < count; ++k) rolled[((k + n) % count + count) % count] = sheet->zoom[k];
  std::memcpy(sheet->zoom, rolled, sizeof(sheetZoom) * size_t(count));
  sheetRecompute(sheet);
}

void sheetRedraw(sheetRec* sheet) {
  viewsFollow(sheet);
  sheetUpdateWindow(sheet);
  evtSignal(vwEvSheetRedrawn, reinterpret_cast<intptr_t>(sheet));
}

// The page outline is drawn with the views; until then showing it is
// repainting the window.
void sheetPlotBoxSet(sheetRec* sheet, const double bounds[4]) {
  if (std::memcmp(sheet->plotBounds, bounds, sizeof sheet->plotBounds) == 0) return;
  const docRec* doc = sheet->owner;
  const bool shown = doc && (doc->flags & (docPlotShow | docPreview)) && vwCurSheet() == sheet && sheet->window;
  std::memcpy(sheet->plotBounds, bounds, sizeof sheet->plotBounds);
  if (shown) sheetUpdateWindow(sheet);
}

int sheetPlotBox(double bounds[4], double* plotScale) {
  const sheetRec* sheet = vwCurSheet();
  if (!sheet) return -1;
  std::memcpy(bounds, sheet->plotBounds, sizeof sheet->plotBounds);
  *plotScale = sheet->plotScale;
  return 0;
}

void sheetUpdateWindow(sheetRec* sheet) {
  if (HWND window = sheetHwnd(sheet)) InvalidateRect(window, nullptr, TRUE);
}

void sheetClientCentre(const sheetRec* sheet, int32_t out[2]) {
  out[0] = (sheet->graphicsBox[0] + sheet->graphicsBox[2]) / 2;
  out[1] = (sheet->graphicsBox[1] + sheet->graphicsBox[3]) / 2;
}

void sheetScreenToSheet(const sheetRec* sheet, double x, double y, double out[2]) {
  const double in[3] = {x, y, 0};
  double r[3];
  aPtTransform(3, in, sheet->zoom[0].sheetToWorld, r);
  out[0] = r[0];
  out[1] = r[1];
}

void sheetScrollBars(sheetRec* sheet) {
  if (!sheet->window) return;
  sheetReadWindowBoxes(sheet);
  double visible[4];
  vwScreenBoxToSheet(sheet->graphicsBox, sheet->zoom[0].sheetToWorld, visible);
  double area[4];
  std::memcpy(area, visible, sizeof area);
  double extents[4];
  if (sheetModelExtents(sheet, extents)) {
    area[0] = std::min(area[0], extents[0]);
    area[1] = std::min(area[1], extents[1]);
    area[2] = std::max(area[2], extents[2]);
    area[3] = std::max(area[3], extents[3]);
  }
  sheet->scrollPos[0] = visible[0];
  sheet->scrollPos[1] = visible[3];
  if (std::memcmp(area, sheet->scrollArea, sizeof area) == 0) return;
  std::memcpy(sheet->scrollArea, area, sizeof area);
  const double across = area[2] > area[0] ? (visible[2] - visible[0]) / (area[2] - area[0]) : 1.0;
  const double down = area[3] > area[1] ? (visible[3] - visible[1]) / (area[3] - area[1]) : 1.0;
  if (scriptDefined("aSetScrollHook")) feExecf("mark %g %g aSetScrollHook cleartomark", across, down);
}
