// Rectangle arithmetic. Rectangles may come from scripts, so every product
// and sum is worked out in 64 bits and held to the 32-bit range rather than
// allowed to overflow.
#include "ui/uirect.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

LONG clamp32(int64_t v) {
  return LONG(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// v * mul / div, truncated toward zero like the 32-bit division it stands for.
LONG scale(LONG v, int64_t mul, int64_t div) { return div == 0 ? v : clamp32(int64_t(v) * mul / div); }

void baseUnits(int64_t* x, int64_t* y) {
  const LONG units = GetDialogBaseUnits();
  *x = LOWORD(units);
  *y = HIWORD(units);
}

}  // namespace

void uiCopyRect(const RECT* from, RECT* to) { *to = *from; }

void uiDluToPixels(RECT* rect) {
  int64_t bx, by;
  baseUnits(&bx, &by);
  rect->left = scale(rect->left, bx, 4);
  rect->right = scale(rect->right, bx, 4);
  rect->top = scale(rect->top, by, 8);
  rect->bottom = scale(rect->bottom, by, 8);
}

void uiPixelsToDlu(RECT* rect) {
  int64_t bx, by;
  baseUnits(&bx, &by);
  rect->left = scale(rect->left, 4, bx);
  rect->right = scale(rect->right, 4, bx);
  rect->top = scale(rect->top, 8, by);
  rect->bottom = scale(rect->bottom, 8, by);
}

void uiRectOffset(RECT* rect, int32_t dx, int32_t dy) {
  rect->left = clamp32(int64_t(rect->left) + dx);
  rect->right = clamp32(int64_t(rect->right) + dx);
  rect->top = clamp32(int64_t(rect->top) + dy);
  rect->bottom = clamp32(int64_t(rect->bottom) + dy);
}
