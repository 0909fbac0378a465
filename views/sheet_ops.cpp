// The sheet operators and the display-list switch.
#include "views/sheet.h"
#include "views/sheet_internal.h"

#include "core/alloc.h"
#include "core/matrix.h"
#include "core/text.h"
#include "draw/xforms.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cmath>

namespace {

// The share of the fitting scale that is used: a margin around the fit.
constexpr double kFitMargin = 0.984375;

int dlistOn = 0;
int dlistRebuilding = 0;

sheetRec* sheetArg(const feArgs* args, int i) {
  auto* sheet = static_cast<sheetRec*>(args->in[i].record);
  return sheetIs(sheet) ? sheet : nullptr;
}

void widen(double area[4], const double box[4]) {
  area[0] = std::min({area[0], box[0], box[2]});
  area[1] = std::min({area[1], box[1], box[3]});
  area[2] = std::max({area[2], box[0], box[2]});
  area[3] = std::max({area[3], box[1], box[3]});
}

// num / den, 1e30 when the division fails.
double ratio(double num, double den) {
  const double r = num / den;
  return den > 0 && std::isfinite(r) ? r : 1e30;
}

// Scales and centres the sheet so that the area of the sheet fills the
// screen rectangle less a small margin, with the zoom state pushed first.
int fitArea(sheetRec* sheet, const double area[4], const RECT& rect) {
  double dpi[2];
  vwGetDpiUnits(dpi);
  const double fit = std::min(ratio(rect.right - rect.left, (area[2] - area[0]) * dpi[0]),
                              ratio(rect.bottom - rect.top, (area[3] - area[1]) * dpi[1]));
  if (const int answer = sheetCheckScale(fit)) return answer;
  const int32_t screen[2] = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  const double centre[2] = {(area[0] + area[2]) / 2, (area[1] + area[3]) / 2};
  return sheetZoomAbout(sheet, fit * kFitMargin, 0, screen, centre);
}

// The rectangle the sheet's drawing fills: the window's view rectangle, or
// the graphics box without a window.
RECT viewRect(const sheetRec* sheet) {
  RECT rect{sheet->graphicsBox[0], sheet->graphicsBox[1], sheet->graphicsBox[2], sheet->graphicsBox[3]};
  if (sheet->window) windGetViewRect(sheet->window, &rect);
  return rect;
}

}  // namespace

int sheetDListOn() { return dlistOn; }
void sheetSetDListOn(int on) { dlistOn = on ? 1 : 0; }
int sheetDListRebuilding() { return dlistRebuilding; }
void sheetSetDListRebuilding(int rebuilding) { dlistRebuilding = rebuilding ? 1 : 0; }

// aSheetCopy: a copy of the sheet linked to the document (none: a copy of
// no document). A closed document that a script kept takes no copy.
int vwOpSheetCopy(feArgs* args) {
  sheetRec* source = sheetArg(args, 0);
  if (!source) return vwErrBadObject;
  auto* doc = static_cast<docRec*>(args->in[1].record);
  if (docIsClosed(doc)) return vwErrBadObject;
  sheetRec* copy = nullptr;
  if (const int answer = sheetCopy(source, doc, &copy)) return answer;
  *reinterpret_cast<void**>(args->out[0]) = copy;
  return 0;
}

// aScaleSheet2: the point under a screen position stays there.
int vwOpScaleSheet2(feArgs* args) {
  sheetRec* sheet = sheetArg(args, 0);
  if (!sheet) return vwErrBadObject;
  const int32_t screen[2] = {args->in[3].i, args->in[4].i};
  double centre[2];
  sheetScreenToSheet(sheet, screen[0], screen[1], centre);
  sheetZoomPush(sheet);
  const int answer = sheetSetScale(sheet, args->in[1].d, args->in[2].i, screen, centre, args->in[5].i);
  if (answer) sheetZoomPop(sheet);
  sheetUpdateWindow(sheet);
  return answer;
}

// aScrollSheet: the sheet moves by a pixel offset.
int vwOpScrollSheet(feArgs* args) {
  sheetRec* sheet = sheetArg(args, 0);
  if (!sheet) return vwErrBadObject;
  sheet->zoom[0].screen[0] += args->in[1].i;
  sheet->zoom[0].screen[1] += args->in[2].i;
  const int answer = sheetRecompute(sheet);
  sheetUpdateWindow(sheet);
  return answer;
}

// aDListState (kind 0) answers the switch; aDListToggle (kind 1) flips it
// and tells the menus through "aDListMenuHook".
int vwOpDList(feArgs* args) {
  if (!vwCurDoc()) return vwErrNoCurDoc;
  if (args->in[0].i == 1) {
    dlistOn = !dlistOn;
    if (scriptDefined("aDListMenuHook")) feExecf("%s aDListMenuHook", dlistOn ? "true" : "false");
  }
  if (args->outCount > 0) *static_cast<int32_t*>(args->out[0]) = dlistOn;
  return 0;
}

// aDrawSheet and aDrawSheetFlags: the sheet becomes current and its window
// is repainted with its views.
int vwOpDrawSheet(feArgs* args) {
  sheetRec* sheet = sheetArg(args, 0);
  if (!sheet) return vwErrBadObject;
  sheetSetCurrent(sheet);
  sheetRedraw(sheet);
  // The window is painted now, not when the message loop next runs.
  if (HWND window = sheetHwnd(sheet)) UpdateWindow(window);
  return 0;
}

// aCurSheet: the active sheet, the one in the front window.
int vwOpCurSheet(feArgs* args) {
  sheetRec* sheet = vwActiveSheet();
  if (!sheet) return vwErrNoCurSheet;
  *reinterpret_cast<void**>(args->out[0]) = sheet;
  return 0;
}

// aViewAllSheet: the draft view's model and the other views fill the
// window less inset pixels on each side.
int vwOpViewAllSheet(feArgs* args) {
  sheetRec* sheet = vwCurSheet();
  if (!sheet || !sheet->window) return 0;
  double area[4];
  bool any = sheetModelExtents(sheet, area);
  for (const viewRec* v = sheet->firstView; v; v = v->next) {
    if (v == sheet->activeView) continue;
    if (!any) {
      area[0] = area[2] = v->box[0];
      area[1] = area[3] = v->box[1];
      any = true;
    }
    widen(area, v->box);
  }
  if (!any) return 0;
  const int32_t inset = args->in[0].i;
  RECT rect = viewRect(sheet);
  rect.left += inset;
  rect.top += inset;
  rect.right -= inset;
  rect.bottom -= inset;
  return fitArea(sheet, area, rect);
}

// aSheetCorners3: the part of the sheet that the two screen boxes span
// fills the window.
int vwOpSheetCorners3(feArgs* args) {
  sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  const auto* a = static_cast<const int32_t*>(args->in[0].block);
  const auto* b = static_cast<const int32_t*>(args->in[1].block);
  const double xs[4] = {double(a[0]), double(a[2]), double(b[0]), double(b[2])};
  const double ys[4] = {double(a[1]), double(a[3]), double(b[1]), double(b[3])};
  double area[4];
  for (int k = 0; k < 4; ++k) {
    double p[2];
    sheetScreenToSheet(sheet, xs[k], ys[k], p);
    const double corner[4] = {p[0], p[1], p[0], p[1]};
    if (k == 0) std::copy(corner, corner + 4, area);
    widen(area, corner);
  }
  return fitArea(sheet, area, viewRect(sheet));
}

// aRollSheet: the zoom history turns by n entries.
int vwOpRollSheet(feArgs* args) {
  sheetRec* sheet = vwCurSheet();
  if (!sheet || sheet->zoomCount < 1) return vwErrNoCurSheet;
  sheetZoomRoll(sheet, args->in[0].i);
  sheetUpdateWindow(sheet);
  return 0;
}

// aSheetToScreen: a point of the current sheet in window pixels.
int vwOpSheetToScreen(feArgs* args) {
  const sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  const double in[3] = {args->in[0].d, args->in[1].d, 0};
  double out[3];
  aPtTransform(3, in, sheet->zoom[0].worldToSheet, out);
  *static_cast<int32_t*>(args->out[0]) = int32_t(std::lround(out[0]));
  *static_cast<int32_t*>(args->out[1]) = int32_t(std::lround(out[1]));
  return 0;
}

// aSheetWithName: the current document's sheet of that title.
int vwOpSheetWithName(feArgs* args) {
  const docRec* doc = vwCurDoc();
  if (!doc) return -1;
  char* title = uStrDup(args->in[0].text.text, uint32_t(args->in[0].text.length), nullptr);
  if (!title) return -1;
  sheetRec* found = nullptr;
  for (sheetRec* s = doc->firstSheet; s && !found; s = s->next)
    if (uStrNatCmpAll(s->title, title) == 0) found = s;
  uFree(&title);
  if (!found) return -1;
  *reinterpret_cast<void**>(args->out[0]) = found;
  return 0;
}

// aScrollAdjust: the current sheet moves by thousandths of its scroll area
// across (horizontal) or down, through "aScrollSheet".
int vwOpScrollAdjust(feArgs* args) {
  sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  const bool across = args->in[0].i != 0;
  const double span = across ? sheet->scrollArea[2] - sheet->scrollArea[0] : sheet->scrollArea[3] - sheet->scrollArea[1];
  const double step = args->in[1].i / 1000.0 * span;
  double dpi[2];
  vwGetDpiUnits(dpi);
  const int32_t pixels = int32_t(std::lround(step * (across ? dpi[0] : dpi[1]) * sheet->zoom[0].pageScale));
  if (across) sheet->scrollPos[0] += step;
  else sheet->scrollPos[1] -= step;
  // Moving along the page moves the drawing the other way in the window.
  const int32_t dx = across ? -pixels : 0, dy = across ? 0 : -pixels;
  return feExecf("aCurSheet %ld %ld aScrollSheet", dx, dy);
}

// aSetScrollBars: the current sheet's scroll area.
int vwOpSetScrollBars(feArgs*) {
  sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  sheetScrollBars(sheet);
  return 0;
}
