// DefWindowProcA: what a window does with the messages its own procedure
// leaves to the system.
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
    default:
      return 0;
  }
}
