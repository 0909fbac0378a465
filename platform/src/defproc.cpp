// DefWindowProcA: what a window does with the messages its own procedure
// leaves to the system.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <algorithm>
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
    case WM_MOUSEACTIVATE: {
      // A child lets its parent decide first.
      if ((w->style & WS_CHILD) && w->parent)
        if (LRESULT parentSays = SendMessageA(w->parent, WM_MOUSEACTIVATE, wParam, lParam)) return parentSays;
      return MA_ACTIVATE;
    }
    case WM_NCCALCSIZE: {
      // Frames measure 0; only a top-level window's menu bar takes room.
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (!wParam && r && !(w->style & WS_CHILD) && w->id)
        r->top = std::min<LONG>(r->bottom, r->top + GetSystemMetrics(SM_CYMENU));
      return 0;
    }
    case WM_NCHITTEST: {
      const POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
      const POINT client = pl::clientOrigin(hWnd), window = pl::windowOrigin(hWnd);
      const RECT area = pl::clientArea(w);
      const auto inside = [&](POINT o, LONG width, LONG height) {
        return at.x >= o.x && at.y >= o.y && at.x < o.x + width && at.y < o.y + height;
      };
      if (inside(client, area.right, area.bottom)) return HTCLIENT;
      if (!inside(window, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top)) return HTNOWHERE;
      // Above the client area of a window with a menu lies its menu bar.
      if (!(w->style & WS_CHILD) && w->id && at.y < client.y && at.y >= client.y - GetSystemMetrics(SM_CYMENU))
        return HTMENU;
      return HTBORDER;
    }
    case WM_NCLBUTTONDOWN:
      // The caption drags the window; the system menu box closes it.
      if (wParam == HTCAPTION) SendMessageA(hWnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
      else if (wParam == HTSYSMENU) SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hWnd, WM_CLOSE, 0, 0);
      else if ((wParam & 0xFFF0) == SC_MOVE) pl::dragWindow(hWnd);
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
