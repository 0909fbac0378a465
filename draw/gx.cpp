// The drawing layer's current window and device context, the window stack
// of pushed devices, the device resolution and the coordinate limits.
#include "draw/gx.h"

#include "core/alloc.h"
#include "draw/gx_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

gxGlobals gx = {
    .window = nullptr, .dc = nullptr, .blitDC = nullptr,
    .penX = 0, .penY = 0, .penInRange = true, .limit1 = 5000, .limit2 = 10000,
    .color = 0, .bgColor = 7, .penWidth = 1, .penStyle = 0, .fillKind = 0, .drawMode = 0,
    .rgb = 0, .scaleExp = 0, .aspect = 1.0f, .aspectInv = 1.0f,
    .lightBackground = true, .colorDevice = true, .gridPen = nullptr,
    .patterns = nullptr, .patternCount = 0, .textBitmaps = nullptr, .textBitmapCount = 0,
};

namespace {

struct gxWinFrame {
  HWND previous;
  HDC dc;
  double resolution[2];  // pixels per inch; the vertical one negative
  RECT rect;
  int32_t scaleExp;
};

gxWinFrame* frames = nullptr;
uint32_t frameCount = 0;
uint32_t frameCapacity = 0;

enum { forgetMax = 32 };
HWND forgotten[forgetMax];
uint32_t forgottenCount = 0;

// Switches to a window without the "already current" test: releases the
// DC of a real previous window and takes the new one's.
void selectWindow(HWND window) {
  if (gx.window && gx.window != gxWindowPushed && gx.dc) ReleaseDC(gx.window, gx.dc);
  gx.window = window;
  if (window == gxWindowPushed)
    gx.dc = frameCount ? frames[frameCount - 1].dc : nullptr;
  else if (window)
    gx.dc = GetDC(window);
  else
    gx.dc = nullptr;
  if (gx.dc) gxApplyToDevice();
}

int32_t exponentFor(double dpi) {
  dpi = std::fabs(dpi);
  for (int32_t n = 0; n <= 16; n++)
    if (75.0 * std::ldexp(1.0, n) >= dpi) return n;
  return 16;
}

}  // namespace

HWND gxSetWindow(HWND window) {
  HWND previous = gx.window;
  if (window != previous) selectWindow(window);
  return previous;
}

HWND gxGetWindow() { return gx.window; }

void gxGetWindowDC(HWND* window, HDC* dc) {
  if (window) *window = gx.window;
  if (dc) *dc = gx.dc;
}

void gxWindowPush(HDC dc, const double resolution[2], const RECT* rect) {
  if (frameCount == frameCapacity) uAlloc(&frames, &frameCapacity, frameCapacity + 8, sizeof(gxWinFrame));
  gxWinFrame& f = frames[frameCount++];
  f.previous = gx.window;
  f.dc = dc;
  f.resolution[0] = resolution ? resolution[0] : 75.0;
  f.resolution[1] = -std::fabs(resolution ? resolution[1] : 75.0);
  f.rect = rect ? *rect : RECT{0, 0, 0, 0};
  f.scaleExp = gx.scaleExp;
  selectWindow(gxWindowPushed);  // also when a device was pushed already
  gx.scaleExp = exponentFor(f.resolution[0]);
}

void gxWindowPop() {
  if (!frameCount) return;
  const gxWinFrame f = frames[--frameCount];
  gx.scaleExp = f.scaleExp;
  if (f.previous == gxWindowPushed)
    selectWindow(gxWindowPushed);  // the device below becomes current again
  else
    gxSetWindow(f.previous);
}

uint32_t gxWindowDepth() { return frameCount; }

void gxWindowTerm() {
  gxSetWindow(nullptr);
  uFreeIfSet(&frames);
  frames = nullptr;
  frameCount = frameCapacity = 0;
  forgottenCount = 0;
  gx.scaleExp = 0;
  gx.blitDC = nullptr;
}

void gxForgetWindow(HWND window) {
  if (forgottenCount < forgetMax) forgotten[forgottenCount++] = window;
  if (window && window == gx.window) gxSetWindow(nullptr);
}

void gxGetWindowRect(HWND window, RECT* rect) {
  if (!rect || window == gxWindowPushed) return;
  if (!window) {
    *rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return;
  }
  GetWindowRect(window, rect);
}

void gxClientToScreen(POINT* point) {
  if (point && gx.window && gx.window != gxWindowPushed) ClientToScreen(gx.window, point);
}

void gxGetDpi(double out[3]) {
  double x, y;
  if (gx.window == gxWindowPushed && frameCount) {
    x = frames[frameCount - 1].resolution[0];
    y = frames[frameCount - 1].resolution[1];
  } else if (gx.dc) {
    x = GetDeviceCaps(gx.dc, LOGPIXELSX);
    y = -GetDeviceCaps(gx.dc, LOGPIXELSY);
  } else {
    HDC screen = GetDC(nullptr);
    const int mmX = GetDeviceCaps(screen, HORZSIZE), mmY = GetDeviceCaps(screen, VERTSIZE);
    x = mmX ? GetDeviceCaps(screen, HORZRES) * 25.4 / mmX : 96.0;
    y = -(mmY ? GetDeviceCaps(screen, VERTRES) * 25.4 / mmY : 96.0);
    ReleaseDC(nullptr, screen);
  }
  out[0] = x;
  out[1] = y;
  out[2] = (x - y) / 2;
}

void gxSetAspect(double ratio) {
  if (ratio == 0) {
    double dpi[3];
    gxGetDpi(dpi);
    ratio = dpi[1] != 0 ? std::fabs(dpi[0] / dpi[1]) : 1.0;
  }
  gx.aspect = static_cast<float>(ratio);
  gx.aspectInv = ratio != 0 ? static_cast<float>(1.0 / ratio) : 1.0f;
}

void gxSetCoordLimits(const RECT* rect) {
  if (!rect) return;
  int64_t l1 = 0;
  for (int64_t v : {int64_t{rect->left}, int64_t{rect->top}, int64_t{rect->right}, int64_t{rect->bottom}})
    l1 = std::max(l1, v < 0 ? -v : v);
  if (l1 > 30000) {
    gx.limit1 = 30000;
    gx.limit2 = 32000;
  } else {
    gx.limit1 = static_cast<int32_t>(l1);
    gx.limit2 = l1 <= 15000 ? static_cast<int32_t>(2 * l1) : 32000;
  }
}

HDC gxSetBlitDC(HDC dc) {
  HDC previous = gx.blitDC;
  gx.blitDC = dc;
  return previous;
}
