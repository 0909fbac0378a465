// The active top-level window and the mouse capture.
#include "layer.h"
#include "window_table.h"

namespace {

HWND active = nullptr;
HWND capture = nullptr;

}  // namespace

namespace pl {

HWND activeWindow() { return findWindow(active) ? active : nullptr; }

void forgetWindowInput(HWND window) {
  if (active == window) active = nullptr;
  if (capture == window) capture = nullptr;
}

void resetActivation() {
  active = nullptr;
  capture = nullptr;
}

}  // namespace pl

extern "C" HWND WINAPI GetActiveWindow(void) { return pl::activeWindow(); }

extern "C" HWND WINAPI SetActiveWindow(HWND hWnd) {
  HWND previous = pl::activeWindow();
  HWND target = hWnd ? pl::topLevelOf(hWnd) : nullptr;
  if (hWnd && !target) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (target == previous) return previous;
  if (previous) {
    SendMessageA(previous, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(target));
  }
  if (target && !pl::findWindow(target)) return previous;  // destroyed meanwhile
  active = target;
  if (pl::Window* w = pl::findWindow(target)) w->zOrder = pl::nextZOrder();
  if (target) {
    SendMessageA(target, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(target, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
  }
  return previous;
}

extern "C" HWND WINAPI GetCapture(void) { return pl::findWindow(capture) ? capture : nullptr; }

extern "C" HWND WINAPI SetCapture(HWND hWnd) {
  HWND previous = GetCapture();
  if (hWnd && !pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return previous;
  }
  capture = hWnd;
  if (previous && previous != hWnd) SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return previous;
}

extern "C" BOOL WINAPI ReleaseCapture(void) {
  HWND previous = GetCapture();
  capture = nullptr;
  if (previous) SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}
