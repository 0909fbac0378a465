// Document window boxes: the default box and the fit of a stored box into
// it, so that a window read from a file always lands on the screen.
#include "views/docfile.h"

#include "ui/app.h"

#include <windows.h>

#include <algorithm>

namespace {

// The margins a document window keeps inside the frame's client area.
constexpr int32_t kInsetLeft = 4, kInsetTop = 42, kInsetRight = 7, kInsetBottom = 5;
// The smallest box kept: narrower or lower boxes give way to the default.
constexpr int32_t kMinWidth = 99, kMinHeight = 80;

}  // namespace

void vwDefaultWindowBox(int32_t box[4]) {
  RECT client{};
  if (HWND frame = uiGetFrame()) GetClientRect(frame, &client);
  if (client.right <= client.left || client.bottom <= client.top)
    client = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  box[0] = client.left + kInsetLeft;
  box[1] = client.top + kInsetTop;
  box[2] = client.right - kInsetRight;
  box[3] = client.bottom - kInsetBottom;
}

void vwWindowBoxFit(int32_t box[4]) {
  int32_t d[4];
  vwDefaultWindowBox(d);
  int32_t& left = box[0];
  int32_t& top = box[1];
  int32_t& right = box[2];
  int32_t& bottom = box[3];
  if (right < left + kMinWidth || bottom <= top + kMinHeight) std::copy(d, d + 4, box);
  // Moved up, then down, so that the top edge wins over the bottom one.
  if (bottom > d[3]) {
    top -= bottom - d[3];
    bottom = d[3];
  }
  if (top < d[1]) {
    bottom += d[1] - top;
    top = d[1];
  }
  // Moved left, then right: the left edge wins.
  if (right > d[2]) {
    left -= right - d[2];
    right = d[2];
  }
  if (left < d[0]) {
    right += d[0] - left;
    left = d[0];
  }
  bottom = std::min(bottom, d[3]);
  right = std::min(right, d[2]);
}
