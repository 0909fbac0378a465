// Windows in memory: creation and destruction with their messages, the
// parent/child and owner relations, the keyboard focus and SendMessageA.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <algorithm>

namespace {

using pl::findWindow;
using pl::Window;

HWND focus = nullptr;

// True when window is root or lies below it in the parent chain.
bool isWithin(HWND window, HWND root) {
  for (Window* w = findWindow(window); w; w = findWindow(w->parent))
    if (w->handle == root) return true;
  return false;
}

// The top-level window a window belongs to: owners are always top-level.
HWND topLevelOf(Window* w) {
  while (w && (w->style & WS_CHILD)) {
    Window* parent = findWindow(w->parent);
    if (!parent) break;
    w = parent;
  }
  return w ? w->handle : nullptr;
}

// The last step of destruction: WM_NCDESTROY, then the window leaves its
// parent's list and the table, and its handle is dead.
void finishDestroy(HWND handle) {
  SendMessageA(handle, WM_NCDESTROY, 0, 0);
  Window* w = findWindow(handle);
  if (!w) return;
  if (Window* parent = findWindow(w->parent)) {
    auto& list = parent->children;
    list.erase(std::remove(list.begin(), list.end(), handle), list.end());
  }
  if (focus && isWithin(focus, handle)) focus = nullptr;
  pl::forgetWindowInput(handle);
  pl::forgetWindowQueue(handle);
  pl::forgetWindowTimers(handle);
  pl::removeWindow(handle);
}

// The rectangle a window is created with: CW_USEDEFAULT places a top-level
// window at the screen's corner with three quarters of its size, and gives a
// child nothing.
RECT creationRect(DWORD style, Window* relative, int x, int y, int width, int height) {
  const bool child = (style & WS_CHILD) && relative;
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : pl::screenWidth() * 3 / 4;
    height = child ? 0 : pl::screenHeight() * 3 / 4;
  }
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  return RECT{x, y, x + width, y + height};
}

}  // namespace

namespace pl {
void resetFocus() { focus = nullptr; }
}  // namespace pl

extern "C" HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                                       int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                       HINSTANCE hInstance, LPVOID lpParam) {
  pl::WindowClass* cls = pl::findClass(lpClassName);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  // A child needs a live parent; for other windows hWndParent names the
  // owner, which is always a top-level window.
  Window* relative = nullptr;
  if (hWndParent) {
    relative = findWindow(hWndParent);
    if (!relative || relative->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
  } else if (dwStyle & WS_CHILD) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }

  auto fresh = std::make_unique<Window>();
  fresh->classAtom = cls->atom;
  fresh->proc = cls->proc;
  fresh->style = dwStyle;
  fresh->exStyle = dwExStyle;
  fresh->id = reinterpret_cast<LONG_PTR>(hMenu);
  fresh->instance = hInstance;
  if (relative && (dwStyle & WS_CHILD))
    fresh->parent = hWndParent;
  else if (relative)
    fresh->owner = topLevelOf(relative);
  fresh->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
  fresh->rect = creationRect(dwStyle, relative, X, Y, nWidth, nHeight);
  fresh->client = fresh->rect;
  fresh->restored = fresh->rect;
  fresh->zOrder = pl::nextZOrder();
  Window* w = pl::addWindow(std::move(fresh));
  if (!w) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HWND handle = w->handle;
  if (w->parent) relative->children.push_back(handle);

  CREATESTRUCTA cs{};
  cs.lpCreateParams = lpParam;
  cs.hInstance = hInstance;
  cs.hMenu = hMenu;
  cs.hwndParent = hWndParent;
  cs.cy = nHeight;
  cs.cx = nWidth;
  cs.y = Y;
  cs.x = X;
  cs.style = static_cast<LONG>(dwStyle);
  cs.lpszName = lpWindowName;
  cs.lpszClass = lpClassName;
  cs.dwExStyle = dwExStyle;

  // The procedures may destroy the window while handling either message.
  if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (findWindow(handle)) finishDestroy(handle);
    return nullptr;
  }
  if (!findWindow(handle)) return nullptr;
  pl::updateClientRect(handle);
  if (!findWindow(handle)) return nullptr;
  if (SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  // A window created visible is shown now, as ShowWindow would show it.
  if (Window* created = findWindow(handle); created && (created->style & WS_VISIBLE)) pl::showAtCreation(handle);
  return findWindow(handle) ? handle : nullptr;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hWnd) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->destroying) return TRUE;  // already on its way out
  w->destroying = true;
  if (focus && isWithin(focus, hWnd)) focus = nullptr;

  // Owned windows go first, then the window gets WM_DESTROY, then its
  // children are destroyed, each completely, and last it gets WM_NCDESTROY.
  for (HWND owned : pl::ownedWindows(hWnd)) DestroyWindow(owned);
  SendMessageA(hWnd, WM_DESTROY, 0, 0);
  w = findWindow(hWnd);
  if (!w) return TRUE;
  std::vector<HWND> children = w->children;
  for (HWND child : children) DestroyWindow(child);
  finishDestroy(hWnd);
  return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND hWnd) { return findWindow(hWnd) ? TRUE : FALSE; }

extern "C" HWND WINAPI GetParent(HWND hWnd) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  // A child answers its parent, a pop-up its owner, other windows nothing.
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

extern "C" HWND WINAPI GetFocus(void) { return focus; }

extern "C" HWND WINAPI SetFocus(HWND hWnd) {
  if (hWnd) {
    Window* w = findWindow(hWnd);
    if (!w || w->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
  }
  HWND previous = focus;
  if (hWnd == previous) return previous;
  if (previous) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  // WM_KILLFOCUS may have destroyed the window that is to get the focus.
  Window* w = hWnd ? findWindow(hWnd) : nullptr;
  if (hWnd && (!w || w->destroying)) {
    if (focus == previous) focus = nullptr;
    return previous;
  }
  focus = hWnd;
  if (hWnd) SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

extern "C" LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WNDPROC proc = w->proc;
  return proc ? proc(hWnd, Msg, wParam, lParam) : DefWindowProcA(hWnd, Msg, wParam, lParam);
}

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  // Subclass procedures hand messages on to the procedure they replaced.
  if (!lpPrevWndFunc) return DefWindowProcA(hWnd, Msg, wParam, lParam);
  return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}
