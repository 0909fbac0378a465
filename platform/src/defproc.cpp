// DefWindowProcA: what a window does with the messages its own procedure
// leaves to the system.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <string>

extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  pl::Window* w = pl::findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (Msg) {
    case WM_NCCREATE: {
      // The window name given to CreateWindowExA becomes the window text; a
      // name that is a resource number (below 0x10000) is not text.
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && reinterpret_cast<uintptr_t>(cs->lpszName) > 0xFFFF) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      w->text = text ? text : "";
      return TRUE;
    }
    case WM_GETTEXT:
      // wParam: the buffer size in characters, terminator included.
      return static_cast<LRESULT>(pl::copyTruncated(w->text, reinterpret_cast<char*>(lParam), wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_PAINT:
      ValidateRect(hWnd, nullptr);
      return 0;
    case WM_ACTIVATE:
      // A window that becomes active takes the keyboard focus.
      if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hWnd)) SetFocus(hWnd);
      return 0;
    case WM_NCACTIVATE:
      return TRUE;
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hWnd, WM_CLOSE, 0, 0);
      else if ((wParam & 0xFFF0) == SC_MAXIMIZE) ShowWindow(hWnd, SW_SHOWMAXIMIZED);
      else if ((wParam & 0xFFF0) == SC_MINIMIZE) ShowWindow(hWnd, SW_MINIMIZE);
      else if ((wParam & 0xFFF0) == SC_RESTORE) ShowWindow(hWnd, SW_RESTORE);
      return 0;
    case WM_SETCURSOR: {
      // The parent decides first; then the class cursor is shown.
      const HWND parent = (w->style & WS_CHILD) ? w->parent : nullptr;
      if (parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      w = pl::findWindow(hWnd);
      if (!w || LOWORD(lParam) != HTCLIENT) return FALSE;
      if (pl::WindowClass* c = pl::findClass(MAKEINTATOM(w->classAtom)); c && c->cursor) {
        SetCursor(c->cursor);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return 0;
  }
}
