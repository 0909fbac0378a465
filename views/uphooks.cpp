#include "views/uphooks.h"

namespace {

vwFoldHooks hooks;

}  // namespace

void vwSetFoldHooks(const vwFoldHooks& next) { hooks = next; }

void vwMarkDraw(const double* point, int style, int mode) {
  if (hooks.markDraw) hooks.markDraw(point, style, mode);
}

void vwMarkDrawCur(const double* point, int style) {
  if (hooks.markDrawCur) hooks.markDrawCur(point, style);
}

void vwLastSegment(const double a[3], const double b[3]) {
  if (hooks.lastSegment) hooks.lastSegment(a, b);
}
