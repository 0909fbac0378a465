// The plot scale: the plot area resized for a scale (aChangeScale), the scale
// at which the sheet fits its pages (aFitPlot), and the plot area dragged on
// the screen (aCreatPlot).
#include "views/print.h"
#include "views/print_internal.h"

#include "core/matrix.h"
#include "draw/gx.h"
#include "fe/opcall.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"
#include "views/sheet_internal.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cmath>

namespace {

// Scales too small to divide by count as no scale.
constexpr double kTiny = 1e-30;

void widen(double area[4], const double box[4]) {
  area[0] = std::min({area[0], box[0], box[2]});
  area[1] = std::min({area[1], box[1], box[3]});
  area[2] = std::max({area[2], box[0], box[2]});
  area[3] = std::max({area[3], box[1], box[3]});
}

// A sheet point on the sheet's window.
void sheetToScreen(const sheetRec* sheet, const double point[2], double out[2]) {
  const double in[3] = {point[0], point[1], 0};
  double r[3];
  aPtTransform(3, in, sheet->zoom[0].worldToSheet, r);
  out[0] = r[0];
  out[1] = r[1];
}

}  // namespace

int printChangeScale(sheetRec* sheet, double scale, const double* centre) {
  if (!sheet) return vwErrNoCurSheet;
  if (!(std::fabs(2.0 * scale) > kTiny) || !std::isfinite(scale)) return vwErrBadScale;
  const double* b = sheet->plotBounds;
  const double own[2] = {(b[0] + b[2]) / 2, (b[1] + b[3]) / 2};
  const double* c = centre ? centre : own;
  // The area's size at scale 1 is its size times the present scale.
  const double factor = (sheet->plotScale > 0 ? sheet->plotScale : 1.0) / scale;
  const double halfX = (b[2] - b[0]) / 2 * factor, halfY = (b[1] - b[3]) / 2 * factor;
  const double bounds[4] = {c[0] - halfX, c[1] + halfY, c[0] + halfX, c[1] - halfY};
  if (!std::isfinite(halfX) || !std::isfinite(halfY) || bounds[0] == bounds[2] || bounds[1] == bounds[3])
    return vwErrTooFarOut;
  sheetPlotBoxSet(sheet, bounds);
  sheet->plotScale = scale;
  printint::rememberPlotScale(scale);
  if (sheet->owner) docMarkChanged(sheet->owner);
  return 0;
}

int printFitPlot(sheetRec* sheet, double* scale) {
  if (!sheet) return vwErrNoCurSheet;
  *scale = sheet->plotScale;
  double area[4] = {0, 0, 0, 0};
  viewRec* draft = sheet->activeView;
  if (draft) vwPushView(draft);
  bool any = sheetModelExtents(sheet, area);
  if (draft) vwPopView();
  for (const viewRec* view = sheet->firstView; view; view = view->next) {
    if (view == draft) continue;
    if (!any) {
      area[0] = area[2] = view->box[0];
      area[1] = area[3] = view->box[1];
      any = true;
    }
    widen(area, view->box);
  }
  if (!any) return 0;
  const double centre[2] = {(area[0] + area[2]) / 2, (area[1] + area[3]) / 2};
  const double width = (area[2] - area[0]) * 1.01, height = (area[3] - area[1]) * 1.01;
  // The pages' area at scale 1.
  const double* b = sheet->plotBounds;
  const double pagesWidth = std::fabs(b[2] - b[0]) * sheet->plotScale;
  const double pagesHeight = std::fabs(b[1] - b[3]) * sheet->plotScale;
  const double byWidth = width > 0 ? pagesWidth / width : 1e30;
  const double byHeight = height > 0 ? pagesHeight / height : 1e30;
  // A single point has no size to fit.
  if (width <= 0 && height <= 0) return 0;
  const double fit = std::min(byWidth, byHeight);
  if (const int answer = printChangeScale(sheet, fit, centre)) return answer;
  *scale = fit;
  return 0;
}

int printOpChangeScale(feArgs* args) { return printChangeScale(vwCurSheet(), args->in[1].d, nullptr); }

int printOpFitPlot(feArgs* args) {
  sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  return printFitPlot(sheet, static_cast<double*>(args->out[0]));
}

// aCreatPlot: a press within 8 pixels of a corner of the plot area puts that
// corner under the press; each drag step moves the area by the drag taken
// into sheet coordinates. Once the button is up the pages are laid out
// again.
int printOpCreatPlot(feArgs* args) {
  sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  const auto* start = static_cast<const int32_t*>(args->in[0].block);
  POINT last{start[0], start[1]};
  double* b = sheet->plotBounds;
  const double corners[4][2] = {{b[0], b[1]}, {b[2], b[1]}, {b[0], b[3]}, {b[2], b[3]}};
  double bounds[4] = {b[0], b[1], b[2], b[3]};
  for (const auto& corner : corners) {
    double screen[2];
    sheetToScreen(sheet, corner, screen);
    if (std::fabs(screen[0] - last.x) <= 8 && std::fabs(screen[1] - last.y) <= 8) {
      double press[2];
      sheetScreenToSheet(sheet, last.x, last.y, press);
      const double dx = press[0] - corner[0], dy = press[1] - corner[1];
      bounds[0] += dx, bounds[2] += dx, bounds[1] += dy, bounds[3] += dy;
      sheetPlotBoxSet(sheet, bounds);
      break;
    }
  }
  POINT now{};
  while (gxPollMouse(&now)) {
    if (now.x == last.x && now.y == last.y) continue;
    double from[2], to[2];
    sheetScreenToSheet(sheet, last.x, last.y, from);
    sheetScreenToSheet(sheet, now.x, now.y, to);
    const double dx = to[0] - from[0], dy = to[1] - from[1];
    bounds[0] += dx, bounds[2] += dx, bounds[1] += dy, bounds[3] += dy;
    sheetPlotBoxSet(sheet, bounds);
    last = now;
  }
  if (sheet->window) {
    // The input engine hides its cursor mark through the paint hook.
    const windPaintHook hideMark = windSetPaintHook(nullptr);
    windSetPaintHook(hideMark);
    if (hideMark) hideMark();
    sheetRedraw(sheet);
  }
  return 0;
}
