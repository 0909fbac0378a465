// The controls dialogs are made of. A "BUTTON" is clicked by a press and a
// release of the left button within it (or BM_CLICK, or Space while it has
// the focus) and tells its parent with WM_COMMAND (id, BN_CLICKED); a
// "STATIC" shows its text and takes no input. Neither draws: headless
// dialogs are read through their windows' texts.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <set>

namespace {

std::set<HWND> pressed;  // buttons held down by the left button

void clicked(HWND button) {
  pl::Window* w = pl::findWindow(button);
  if (!w || !w->parent) return;
  SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

}  // namespace

namespace pl {

LRESULT CALLBACK buttonWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed.insert(hwnd);
      SetCapture(hwnd);
      SetFocus(hwnd);
      return 0;
    case WM_LBUTTONUP: {
      if (!pressed.erase(hwnd)) return 0;
      if (GetCapture() == hwnd) ReleaseCapture();
      RECT client;
      GetClientRect(hwnd, &client);
      const POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
      if (PtInRect(&client, at)) clicked(hwnd);
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed.erase(hwnd);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE) clicked(hwnd);
      return 0;
    case BM_CLICK:
      clicked(hwnd);
      return 0;
    case WM_NCDESTROY:
      pressed.erase(hwnd);
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK staticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void resetDialogControls() { pressed.clear(); }

}  // namespace pl
