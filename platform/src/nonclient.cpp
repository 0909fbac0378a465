// The non-client side of windows: dragging a window by its caption, the
// ancestors of a window, the window under a point, and the class values
// read and changed through a window.
#include "classes.h"
#include "display.h"
#include "layer.h"
#include "window_table.h"

#include <platform_test.h>

namespace pl {

void dragWindow(HWND window) {
  Window* w = findWindow(window);
  if (!w || !keyDown(VK_LBUTTON)) return;
  const POINT start = cursorPosition();
  const POINT from{w->rect.left, w->rect.top};
  const HWND before = GetCapture();
  SetCapture(window);
  for (;;) {
    // Mouse messages made meanwhile belong to the drag: the window has the
    // capture, and the release ends it.
    MSG m;
    bool released = false;
    while (!released && PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
      released = m.message == WM_LBUTTONUP;
    if (!findWindow(window)) return;
    const POINT at = cursorPosition();
    SetWindowPos(window, nullptr, from.x + at.x - start.x, from.y + at.y - start.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!findWindow(window)) return;
    if (released || !keyDown(VK_LBUTTON)) break;
    // Wait for the next input: queued input moves the clock on to its
    // item (a button it pressed is always let go in the end); a display
    // waits for the person.
    DWORD due = 0;
    if (nextInputDue(&due)) {
      const DWORD now = GetTickCount();
      if (static_cast<int32_t>(due - now) > 0) plTestAdvanceClock(due - now);
      continue;
    }
    if (!display::active()) break;
    display::waitForInput(-1);
  }
  if (GetCapture() == window) {
    if (before && before != window && findWindow(before)) SetCapture(before);
    else ReleaseCapture();
  }
}

}  // namespace pl

extern "C" HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
  pl::Window* w = pl::findWindow(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  switch (gaFlags) {
    case GA_PARENT:
      // Top-level windows have the desktop above them, which is null here.
      return (w->style & WS_CHILD) ? w->parent : nullptr;
    case GA_ROOT:
      return pl::topLevelOf(hwnd);
    case GA_ROOTOWNER: {
      HWND root = pl::topLevelOf(hwnd);
      // Owners are top-level; the chain ends at a window with no owner.
      for (pl::Window* r = pl::findWindow(root); r && r->owner && pl::findWindow(r->owner); r = pl::findWindow(root))
        root = r->owner;
      return root;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

extern "C" HWND WINAPI WindowFromPoint(POINT Point) { return pl::windowAt(nullptr, Point); }

namespace {

bool readClassValue(const pl::WindowClass& c, int index, ULONG_PTR* out) {
  switch (index) {
    case GCL_STYLE: *out = c.style; return true;
    case GCL_CBWNDEXTRA: *out = static_cast<ULONG_PTR>(c.wndExtra); return true;
    case GCL_CBCLSEXTRA: *out = static_cast<ULONG_PTR>(c.clsExtra); return true;
    case GCLP_MENUNAME: *out = reinterpret_cast<ULONG_PTR>(c.menuName); return true;
    case GCLP_HBRBACKGROUND: *out = reinterpret_cast<ULONG_PTR>(c.background); return true;
    case GCLP_HCURSOR: *out = reinterpret_cast<ULONG_PTR>(c.cursor); return true;
    case GCLP_HICON: *out = reinterpret_cast<ULONG_PTR>(c.icon); return true;
    case GCLP_HMODULE: *out = reinterpret_cast<ULONG_PTR>(c.instance); return true;
    case GCLP_WNDPROC: *out = reinterpret_cast<ULONG_PTR>(c.proc); return true;
    default: return false;
  }
}

pl::WindowClass* classOfWindow(HWND hWnd) {
  pl::Window* w = pl::findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return pl::findClass(MAKEINTATOM(w->classAtom));
}

}  // namespace

extern "C" ULONG_PTR WINAPI GetClassLongPtrA(HWND hWnd, int nIndex) {
  pl::WindowClass* c = classOfWindow(hWnd);
  ULONG_PTR value = 0;
  if (c && !readClassValue(*c, nIndex, &value)) SetLastError(ERROR_INVALID_INDEX);
  return value;
}

extern "C" ULONG_PTR WINAPI SetClassLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  pl::WindowClass* c = classOfWindow(hWnd);
  ULONG_PTR previous = 0;
  if (!c) return 0;
  // The sizes and the menu name are fixed once the class is registered.
  if (!readClassValue(*c, nIndex, &previous) || nIndex == GCL_CBWNDEXTRA || nIndex == GCL_CBCLSEXTRA ||
      nIndex == GCLP_MENUNAME) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  switch (nIndex) {
    case GCL_STYLE: c->style = static_cast<UINT>(dwNewLong); break;
    case GCLP_HBRBACKGROUND: c->background = reinterpret_cast<HBRUSH>(dwNewLong); break;
    case GCLP_HCURSOR: c->cursor = reinterpret_cast<HCURSOR>(dwNewLong); break;
    case GCLP_HICON: c->icon = reinterpret_cast<HICON>(dwNewLong); break;
    case GCLP_HMODULE: c->instance = reinterpret_cast<HINSTANCE>(dwNewLong); break;
    case GCLP_WNDPROC: c->proc = reinterpret_cast<WNDPROC>(dwNewLong); break;
    default: break;
  }
  return previous;
}
