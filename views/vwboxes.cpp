// Scale queries, the tolerant sign and the sheet and screen box mappings.
#include "views/vwboxes.h"

#include "core/matrix.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cmath>

namespace {

// Screen coordinates stay within what the device's 16-bit paths take.
constexpr double kScreenMin = -16383.0, kScreenMax = 32767.0;

void mapPoint(const double* m, double x, double y, double out[2]) {
  const double in[3] = {x, y, 0};
  double r[3];
  aPtTransform(3, in, m, r);
  out[0] = r[0];
  out[1] = r[1];
}

}  // namespace

int vwScaleQuery(int kind, double* out) {
  *out = 1.0;
  if (kind == 2) {
    const viewRec* view = vwCurView();
    if (!view) return vwErrNoCurView;
    *out = view->states[0].scale;
    return 0;
  }
  if (kind < 1 || kind > 4) return -1;
  const sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  const double page = sheet->zoom[0].pageScale;
  *out = kind == 1 ? sheet->plotScale : kind == 3 ? page : page / sheet->plotScale;
  return 0;
}

int vwSignTol(double value) { return value < -1e-8 ? -1 : value > 1e-8 ? 1 : 0; }

void vwViewScreenBox(const sheetRec* sheet, const double rect[4], int32_t out[4]) {
  double a[2], b[2];
  mapPoint(sheet->zoom[0].worldToSheet, rect[0], rect[1], a);
  mapPoint(sheet->zoom[0].worldToSheet, rect[2], rect[3], b);
  const double box[4] = {std::min(a[0], b[0]), std::min(a[1], b[1]), std::max(a[0], b[0]), std::max(a[1], b[1])};
  for (int k = 0; k < 4; ++k) {
    double v = box[k];
    if (!(v >= kScreenMin)) v = kScreenMin;  // a NaN too
    if (v > kScreenMax) v = kScreenMax;
    out[k] = int32_t(std::lround(v));
  }
}

void vwScreenBoxToSheet(const int32_t box[4], const double matrix[16], double out[4]) {
  double a[2], b[2];
  mapPoint(matrix, box[0], box[1], a);
  mapPoint(matrix, box[2], box[3], b);
  out[0] = std::min(a[0], b[0]);
  out[1] = std::min(a[1], b[1]);
  out[2] = std::max(a[0], b[0]);
  out[3] = std::max(a[1], b[1]);
}
