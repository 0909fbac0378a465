// Window state kept in memory: visibility, the show states (normal,
// maximized, minimized), enabling, position and size, and the need to
// paint (the update region, a list of rectangles). A window's client area
// is what its WM_NCCALCSIZE answers, asked again whenever it moves or
// changes size; WM_GETMINMAXINFO bounds the sizes MoveWindow and
// SetWindowPos give.
#include "gdi.h"
#include "layer.h"
#include "window_table.h"

#include <algorithm>

namespace {

using pl::findWindow;
using pl::Window;

LONG widthOf(const RECT& r) { return r.right - r.left; }
LONG heightOf(const RECT& r) { return r.bottom - r.top; }

RECT clientOf(const Window* w) { return pl::clientArea(w); }

// The update region: the whole client area, a rectangle more, or nothing.
void invalidateAll(Window* w) {
  w->update.assign(1, clientOf(w));
  w->invalid = !pl::gdi::isEmpty(w->update[0]);
}
void invalidatePart(Window* w, const RECT& r) {
  const RECT part = pl::gdi::intersect(r, clientOf(w));
  if (pl::gdi::isEmpty(part)) return;
  // Keep the rectangles disjoint: add only what is not covered yet.
  std::vector<RECT> add{part};
  for (const RECT& have : w->update) {
    std::vector<RECT> rest;
    for (const RECT& a : add) pl::gdi::subtract({a}, have, rest);
    add.swap(rest);
  }
  w->update.insert(w->update.end(), add.begin(), add.end());
  w->invalid = !w->update.empty();
}
void validate(Window* w) {
  w->update.clear();
  w->invalid = false;
}
void validatePart(Window* w, const RECT& r) {
  std::vector<RECT> rest;
  pl::gdi::subtract(w->update, r, rest);
  w->update.swap(rest);
  w->invalid = !w->update.empty();
}

// The area a maximized window fills: its parent's client area, or the screen.
RECT fillArea(const Window* w) {
  if (const Window* parent = findWindow(w->parent)) return clientOf(parent);
  return RECT{0, 0, pl::screenWidth(), pl::screenHeight()};
}

void sendSize(HWND h, WPARAM kind) {
  Window* w = findWindow(h);
  if (!w) return;
  const RECT r = w->client;
  SendMessageA(h, WM_SIZE, kind, MAKELONG(static_cast<WORD>(widthOf(r)), static_cast<WORD>(heightOf(r))));
}

void sendMove(HWND h) {
  Window* w = findWindow(h);
  if (!w) return;
  SendMessageA(h, WM_MOVE, 0, MAKELONG(static_cast<WORD>(w->client.left), static_cast<WORD>(w->client.top)));
}

// Places a window and tells it, sending only what changed.
void place(HWND h, RECT r, bool repaint) {
  Window* w = findWindow(h);
  if (!w) return;
  const RECT old = w->client;
  w->rect = r;
  pl::updateClientRect(h);
  w = findWindow(h);
  if (!w) return;
  const RECT now = w->client;
  if (repaint) invalidateAll(w);
  const WPARAM kind = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : SIZE_RESTORED;
  if (old.left != now.left || old.top != now.top) sendMove(h);
  if (widthOf(old) != widthOf(now) || heightOf(old) != heightOf(now) || kind != SIZE_RESTORED) sendSize(h, kind);
}

// The size a window may take: WM_GETMINMAXINFO bounds a change of size. The
// layer's frames measure 0, so nothing is smaller than 0 by default; the
// largest track size is the coordinate range.
RECT boundSize(HWND h, RECT r) {
  Window* w = findWindow(h);
  if (!w || (widthOf(r) == widthOf(w->rect) && heightOf(r) == heightOf(w->rect))) return r;
  MINMAXINFO info{};
  info.ptMaxSize = POINT{pl::screenWidth(), pl::screenHeight()};
  info.ptMinTrackSize = POINT{0, 0};
  info.ptMaxTrackSize = POINT{32767, 32767};
  SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const LONG minX = std::max<LONG>(0, info.ptMinTrackSize.x), minY = std::max<LONG>(0, info.ptMinTrackSize.y);
  const LONG width = std::clamp<LONG>(widthOf(r), minX, std::max(minX, info.ptMaxTrackSize.x));
  const LONG height = std::clamp<LONG>(heightOf(r), minY, std::max(minY, info.ptMaxTrackSize.y));
  return RECT{r.left, r.top, r.left + width, r.top + height};
}

bool isTopLevel(const Window* w) { return !(w->style & WS_CHILD); }

}  // namespace

namespace pl {

void showAtCreation(HWND window) {
  Window* w = findWindow(window);
  if (!w) return;
  const DWORD style = w->style;
  w->style &= ~static_cast<DWORD>(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  ShowWindow(window, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
}

HWND windowToPaint(HWND filter, bool remove) {
  for (HWND h : allWindows()) {
    Window* w = findWindow(h);
    if (!w || !w->invalid || !IsWindowVisible(h)) continue;
    if (!messagePasses(filter, 0, 0, h, WM_PAINT)) continue;
    // Nothing draws yet, so the window counts as painted once it is handed out.
    if (remove) validate(w);
    return h;
  }
  return nullptr;
}

}  // namespace pl

extern "C" BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  const bool show = nCmdShow != SW_HIDE;
  const bool firstTime = !w->sized;
  if (show != static_cast<bool>(wasVisible)) SendMessageA(hWnd, WM_SHOWWINDOW, show, 0);
  w = findWindow(hWnd);
  if (!w) return wasVisible;
  if (show) w->style |= WS_VISIBLE; else w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  w->sized = true;

  const bool maximize = nCmdShow == SW_SHOWMAXIMIZED;
  const bool minimize = nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_SHOWMINNOACTIVE;
  const bool restore = nCmdShow == SW_RESTORE || nCmdShow == SW_SHOWNORMAL;
  const bool wasPlain = !(w->style & (WS_MAXIMIZE | WS_MINIMIZE));
  if (maximize || minimize) {
    if (wasPlain) w->restored = w->rect;
    w->style &= ~static_cast<DWORD>(WS_MAXIMIZE | WS_MINIMIZE);
    w->style |= maximize ? WS_MAXIMIZE : WS_MINIMIZE;
    place(hWnd, maximize ? fillArea(w) : w->rect, true);
  } else if (restore && !wasPlain) {
    w->style &= ~static_cast<DWORD>(WS_MAXIMIZE | WS_MINIMIZE);
    place(hWnd, w->restored, true);
  } else if (firstTime && show) {
    sendSize(hWnd, SIZE_RESTORED);
    sendMove(hWnd);
  }
  w = findWindow(hWnd);
  if (!w) return wasVisible;
  if (show) invalidateAll(w);

  const bool activate = show && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
                        nCmdShow != SW_SHOWMINNOACTIVE && nCmdShow != SW_MINIMIZE;
  if (isTopLevel(w)) {
    if (activate) SetActiveWindow(hWnd);
    else if (!show && GetActiveWindow() == hWnd) SetActiveWindow(nullptr);
  }
  return wasVisible;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hWnd) {
  // Visible when the window and every parent above it are.
  Window* w = findWindow(hWnd);
  if (!w) return FALSE;
  for (; w; w = findWindow(w->parent))
    if (!(w->style & WS_VISIBLE)) return FALSE;
  return TRUE;
}

extern "C" BOOL WINAPI IsIconic(HWND hWnd) {
  Window* w = findWindow(hWnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsZoomed(HWND hWnd) {
  Window* w = findWindow(hWnd);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI UpdateWindow(HWND hWnd) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->invalid && IsWindowVisible(hWnd)) {
    validate(w);
    SendMessageA(hWnd, WM_PAINT, 0, 0);
  }
  return TRUE;
}

extern "C" BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL) {
  if (!hWnd) {  // every window
    for (HWND h : pl::allWindows()) invalidateAll(findWindow(h));
    return TRUE;
  }
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (lpRect) invalidatePart(w, *lpRect);
  else invalidateAll(w);
  return TRUE;
}

extern "C" BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
  if (!hWnd) return TRUE;
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (lpRect) validatePart(w, *lpRect);
  else validate(w);
  return TRUE;
}

extern "C" BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
  Window* w = findWindow(hWnd);
  const bool dirty = w && w->invalid;
  if (lpRect) *lpRect = dirty ? pl::gdi::bounds(w->update) : RECT{0, 0, 0, 0};
  return dirty ? TRUE : FALSE;
}

namespace pl {

const std::vector<RECT>* windowUpdateRects(HWND window) {
  const Window* w = findWindow(window);
  return w ? &w->update : nullptr;
}

}  // namespace pl

extern "C" BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  Window* w = findWindow(hWnd);
  if (!w || !lpRect) {
    SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *lpRect = clientOf(w);
  return TRUE;
}

extern "C" BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  Window* w = findWindow(hWnd);
  if (!w || !lpRect) {
    SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const POINT origin = pl::windowOrigin(hWnd);
  *lpRect = RECT{origin.x, origin.y, origin.x + widthOf(w->rect), origin.y + heightOf(w->rect)};
  return TRUE;
}

extern "C" BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  if (!findWindow(hWnd) || !lpPoint) return FALSE;
  const POINT origin = pl::clientOrigin(hWnd);
  lpPoint->x += origin.x;
  lpPoint->y += origin.y;
  return TRUE;
}

extern "C" BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  if (!findWindow(hWnd) || !lpPoint) return FALSE;
  const POINT origin = pl::clientOrigin(hWnd);
  lpPoint->x -= origin.x;
  lpPoint->y -= origin.y;
  return TRUE;
}

extern "C" BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  if (!findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const RECT r = boundSize(hWnd, RECT{X, Y, X + (nWidth < 0 ? 0 : nWidth), Y + (nHeight < 0 ? 0 : nHeight)});
  place(hWnd, r, bRepaint != FALSE);
  return TRUE;
}

extern "C" BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  RECT r = w->rect;
  if (!(uFlags & SWP_NOMOVE)) r = RECT{X, Y, X + widthOf(r), Y + heightOf(r)};
  if (!(uFlags & SWP_NOSIZE)) r = boundSize(hWnd, RECT{r.left, r.top, r.left + (cx < 0 ? 0 : cx), r.top + (cy < 0 ? 0 : cy)});
  w = findWindow(hWnd);
  if (!w) return FALSE;
  if (!(uFlags & SWP_NOZORDER) && (hWndInsertAfter == HWND_TOP || hWndInsertAfter == HWND_TOPMOST))
    w->zOrder = pl::nextZOrder();
  place(hWnd, r, !(uFlags & SWP_NOREDRAW));
  if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
  return TRUE;
}

extern "C" BOOL WINAPI BringWindowToTop(HWND hWnd) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  w->zOrder = pl::nextZOrder();
  if (!(w->style & WS_CHILD)) SetActiveWindow(hWnd);
  return TRUE;
}

// No desktop window exists headless; null stands for the screen.
extern "C" HWND WINAPI GetDesktopWindow(void) { return nullptr; }

extern "C" BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (static_cast<bool>(wasDisabled) == !bEnable) return wasDisabled;
  if (bEnable) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else {
    w->style |= WS_DISABLED;
    // A disabled window keeps neither the focus nor the mouse.
    if (GetFocus() == hWnd) SetFocus(nullptr);
    if (GetCapture() == hWnd) ReleaseCapture();
  }
  SendMessageA(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
  return wasDisabled;
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  Window* w = findWindow(hWnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}
