// The drawing layer's start-up and release, and the mouse state that
// tracking loops poll, with recorded positions replayed every 100 ms.
#include "core/alloc.h"
#include "draw/gx.h"
#include "draw/gx_internal.h"

namespace {

POINT* recorded = nullptr;
uint32_t recordedCount = 0;
DWORD lastStep = 0;

bool buttonDown() {
  return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (GetAsyncKeyState(VK_RBUTTON) & 0x8000);
}

bool realWindow() { return gx.window && gx.window != gxWindowPushed; }

// The cursor position in client coordinates of the current window (screen
// coordinates without a real window).
void cursorPos(POINT* point) {
  GetCursorPos(point);
  if (realWindow()) ScreenToClient(gx.window, point);
}

// Reports the first recorded position; after 100 ms (a clock that went
// backwards counts as no time) it is dropped and the real cursor moves to
// the next one.
int replay(POINT* point) {
  *point = recorded[0];
  const DWORD now = GetTickCount();
  const DWORD elapsed = now >= lastStep ? now - lastStep : 0;
  if (elapsed < 100) return 1;
  lastStep = now;
  for (uint32_t i = 1; i < recordedCount; i++) recorded[i - 1] = recorded[i];
  recordedCount--;
  if (!recordedCount) {
    uFreeIfSet(&recorded);
  } else if (gx.window) {
    POINT next = recorded[0];
    gxClientToScreen(&next);
    SetCursorPos(next.x, next.y);
  }
  return 1;
}

}  // namespace

void gxInit() {
  gxSetAspect(0);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  gx.lightBackground = GetRValue(window) + GetGValue(window) + GetBValue(window) >= 384;
  HDC screen = GetDC(nullptr);
  const int colors = screen ? GetDeviceCaps(screen, NUMCOLORS) : -1;
  if (screen) ReleaseDC(nullptr, screen);
  gx.colorDevice = colors > 2 || colors < 0;
  if (!gx.gridPen) gx.gridPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
}

void gxTerm() {
  if (gx.dc) {
    SelectObject(gx.dc, GetStockObject(HOLLOW_BRUSH));
    SelectObject(gx.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(gx.dc, GetStockObject(NULL_PEN));
  }
  gxAttrTerm();
  gxStackTerm();
  gxMouseTerm();
  gxWindowTerm();
  gx.penX = gx.penY = 0;
  gx.penInRange = true;
  gx.limit1 = 5000;
  gx.limit2 = 10000;
}

int gxPollMouse(POINT* point) {
  POINT p;
  if (recordedCount) {
    replay(&p);
    if (point) *point = p;
    return 1;
  }
  cursorPos(&p);
  if (point) *point = p;
  if (!buttonDown()) return 0;
  MSG msg;
  if (PeekMessageA(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE) ||
      PeekMessageA(&msg, nullptr, WM_RBUTTONUP, WM_RBUTTONUP, PM_NOREMOVE))
    return 0;
  return 1;
}

int gxMouseButtonDown() { return recordedCount || buttonDown() ? 1 : 0; }

int gxGetMouse(POINT* point) {
  if (recordedCount) return gxPollMouse(point);
  POINT p;
  cursorPos(&p);
  if (point) *point = p;
  return buttonDown() ? 1 : 0;
}

void gxRecordMouse(int count, const POINT* points) {
  if (count <= 0 || !points) return;
  const uint32_t first = recordedCount;
  uAlloc(&recorded, &recordedCount, recordedCount + static_cast<uint32_t>(count), sizeof(POINT));
  for (int i = 0; i < count; i++) recorded[first + i] = points[i];
  lastStep = GetTickCount();
}

uint32_t gxTicks60() { return static_cast<uint32_t>(uint64_t{GetTickCount()} * 60 / 1000); }

void gxMouseTerm() {
  uFreeIfSet(&recorded);
  recordedCount = 0;
  lastStep = 0;
}
