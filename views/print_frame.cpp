// The page frame on a sheet: the plot area's outline drawn two pixels
// outside it with the page breaks inside, and its erasure.
#include "views/print.h"

#include "core/matrix.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"
#include "views/view.h"

#include <algorithm>
#include <cmath>

namespace {

// The plot area on the screen: left, top, right, bottom in pixels.
void plotAreaOnScreen(const sheetRec* sheet, int32_t out[4]) {
  const double* b = sheet->plotBounds;
  double p[2][3];
  const double corners[2][3] = {{b[0], b[1], 0}, {b[2], b[3], 0}};
  aPtTransform(3, corners[0], sheet->zoom[0].worldToSheet, p[0]);
  aPtTransform(3, corners[1], sheet->zoom[0].worldToSheet, p[1]);
  out[0] = int32_t(std::lround(std::min(p[0][0], p[1][0])));
  out[1] = int32_t(std::lround(std::min(p[0][1], p[1][1])));
  out[2] = int32_t(std::lround(std::max(p[0][0], p[1][0])));
  out[3] = int32_t(std::lround(std::max(p[0][1], p[1][1])));
}

void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  gxMoveTo(x0, y0);
  gxLineTo(x1, y1);
}

}  // namespace

void sheetDrawPageFrame(int mode, sheetRec* sheet) {
  if (!sheet || !sheetHwnd(sheet)) return;
  const HWND saved = gxSetWindow(sheetHwnd(sheet));
  gxStatePush();
  gxResetAttrs();
  gxSetPenWidth(0);
  gxSetFill(2);
  gxSetDrawMode(mode);
  if (mode == gxModeErase) gxSetColor(0);
  viewRec* draft = sheet->activeView;
  if (draft) vwPushView(draft);
  int32_t a[4];
  plotAreaOnScreen(sheet, a);
  const int32_t l = a[0] - 2, t = a[1] - 2, r = a[2] + 2, btm = a[3] + 2;
  line(l, t, r, t);
  line(r, t, r, btm);
  line(r, btm, l, btm);
  line(l, btm, l, t);
  const int across = sheet->pagesAcross ? sheet->pagesAcross : 1;
  const int down = sheet->pagesDown ? sheet->pagesDown : 1;
  for (int i = 1; i < across; ++i) {
    const int32_t x = a[0] + int32_t(std::lround(double(a[2] - a[0]) * i / across));
    line(x, a[1], x, a[3]);
  }
  for (int i = 1; i < down; ++i) {
    const int32_t y = a[1] + int32_t(std::lround(double(a[3] - a[1]) * i / down));
    line(a[0], y, a[2], y);
  }
  if (draft) vwPopView();
  gxStatePop();
  gxSetWindow(saved);
}

void sheetErasePageFrame(sheetRec* sheet) {
  HWND window = sheet ? sheetHwnd(sheet) : nullptr;
  if (!window || !sheet->window) return;
  int32_t a[4];
  plotAreaOnScreen(sheet, a);
  RECT limit{};
  windGetViewRect(sheet->window, &limit);
  limit.left += 2, limit.top += 2, limit.right -= 2, limit.bottom -= 2;
  const auto clampX = [&](int32_t x) { return std::clamp<int32_t>(x, limit.left, std::max(limit.left, limit.right)); };
  const auto clampY = [&](int32_t y) { return std::clamp<int32_t>(y, limit.top, std::max(limit.top, limit.bottom)); };
  const int32_t l = clampX(a[0]), t = clampY(a[1]), r = clampX(a[2]), b = clampY(a[3]);
  const RECT strips[4] = {
      {l - 2, t - 2, r + 3, t + 3},  // top
      {l - 2, b - 2, r + 3, b + 3},  // bottom
      {l - 2, t - 2, l + 3, b + 3},  // left
      {r - 2, t - 2, r + 3, b + 3},  // right
  };
  for (const RECT& strip : strips) InvalidateRect(window, &strip, TRUE);
}

void printRedrawFrame(void*) {
  sheetRec* sheet = vwCurSheet();
  const docRec* doc = sheet ? sheet->owner : nullptr;
  if (!doc || !(doc->flags & (docPlotShow | docPreview)) || !sheet->window) return;
  sheetDrawPageFrame(gxModeDraw, sheet);
}
