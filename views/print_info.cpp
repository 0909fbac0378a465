// The current sheet window's graphics box for scripts, the view boxes that
// printing leaves unclipped, and the switch to the sheet window.
#include "views/print.h"

#include "draw/gx.h"
#include "fe/opcall.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cstring>

namespace {

HWND savedWindow = nullptr;

// The current sheet window's view rectangle: false without a current sheet
// or without its window.
bool graphicsBox(RECT* out) {
  const sheetRec* sheet = vwCurSheet();
  if (!sheet || !sheet->window) return false;
  windGetViewRect(sheet->window, out);
  return true;
}

}  // namespace

int printOpGraphicsBox(feArgs* args) {
  RECT rect{};
  if (!graphicsBox(&rect)) return vwErrNoCurSheet;
  *static_cast<int32_t*>(args->out[0]) = rect.left;
  *static_cast<int32_t*>(args->out[1]) = rect.top;
  *static_cast<int32_t*>(args->out[2]) = rect.right;
  *static_cast<int32_t*>(args->out[3]) = rect.bottom;
  return 0;
}

int printOpGraphicCenter(feArgs* args) {
  RECT rect{};
  if (!graphicsBox(&rect)) return vwErrNoCurSheet;
  *static_cast<int32_t*>(args->out[0]) = (rect.left + rect.right) / 2;
  *static_cast<int32_t*>(args->out[1]) = (rect.top + rect.bottom) / 2;
  return 0;
}

int printOpGraphicsSize(feArgs* args) {
  RECT rect{};
  if (!graphicsBox(&rect)) return vwErrNoCurSheet;
  *static_cast<int32_t*>(args->out[0]) = args->in[0].i == 0 ? rect.right - rect.left : rect.bottom - rect.top;
  return 0;
}

int vwViewWorldBox(const viewRec* view, int32_t box[4]) {
  vwScreenBox(view, !vwIsPrinting(), box);
  if (box[0] >= box[2] || box[1] >= box[3]) {
    std::memset(box, 0, 4 * sizeof(int32_t));
    return -1;
  }
  return 0;
}

int vwCurViewSheetScale(double* scale) {
  vwGetViewScale(1, scale);
  return 0;
}

void vwSelectSheetWindow() {
  savedWindow = gxGetWindow();
  const viewRec* view = vwCurView();
  if (HWND window = view && view->sheet ? sheetHwnd(view->sheet) : nullptr) gxSetWindow(window);
}

void vwRestoreWindow() { gxSetWindow(savedWindow); }
