// The paint bracket (BeginPaint, EndPaint), the class name of a window and
// the frame-size adjustment, which headless windows do not need.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <cstring>

extern "C" HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (!lpPaint || !pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::memset(lpPaint, 0, sizeof *lpPaint);
  // A window with a non-client area is told to draw it first.
  if (const pl::Window* w = pl::findWindow(hWnd); w && pl::hasNonClientArea(w)) {
    SendMessageA(hWnd, WM_NCPAINT, 1, 0);
    if (!pl::findWindow(hWnd)) return nullptr;
  }
  // The queue marked the window painted when it handed the message out, so
  // an empty update region here means the whole client area.
  RECT area{};
  if (!GetUpdateRect(hWnd, &area, FALSE) || IsRectEmpty(&area)) GetClientRect(hWnd, &area);
  ValidateRect(hWnd, nullptr);
  HDC dc = GetDC(hWnd);
  if (!dc) return nullptr;
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  lpPaint->hdc = dc;
  lpPaint->rcPaint = area;
  lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

extern "C" BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint || !lpPaint->hdc) return FALSE;
  SelectClipRgn(lpPaint->hdc, nullptr);
  ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

// Frames and captions measure 0 here; a menu bar is the one part of the
// non-client area the layer itself accounts for (DefWindowProcA's
// WM_NCCALCSIZE takes it off again).
extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD, BOOL bMenu, DWORD) {
  if (!lpRect) return FALSE;
  if (bMenu) lpRect->top -= GetSystemMetrics(SM_CYMENU);
  return TRUE;
}

extern "C" int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  pl::Window* w = pl::findWindow(hWnd);
  if (!w || !lpClassName || nMaxCount <= 0) {
    SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  pl::WindowClass* c = pl::findClass(MAKEINTATOM(w->classAtom));
  return static_cast<int>(pl::copyTruncated(c ? c->name : std::string(), lpClassName, static_cast<size_t>(nMaxCount)));
}
