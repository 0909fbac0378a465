// Multiple-document windows: the built-in "MDICLIENT" class, which creates,
// activates, maximizes and destroys its document children, and the default
// procedures of the frame (DefFrameProcA) and of a child (DefMDIChildProcA).
//
// Children are numbered from the client's first child id in creation order;
// the numbers stay contiguous when one goes. Those numbers are the command
// ids of a window menu's document list, so the frame only treats a
// WM_COMMAND id as a child to activate when the client has a window menu:
// without one, every command id belongs to the program's own menus.
#include "classes.h"
#include "layer.h"
#include "window_table.h"

#include <algorithm>

namespace {

using pl::findWindow;
using pl::Window;

struct MdiClient : pl::ControlData {
  HANDLE windowMenu = nullptr;
  UINT firstChild = 0;
  HWND active = nullptr;
  bool maximized = false;  // whether the active child is shown maximized
};

MdiClient* clientData(HWND client) {
  Window* w = findWindow(client);
  return w ? dynamic_cast<MdiClient*>(w->control.get()) : nullptr;
}

// The document children, oldest first.
std::vector<HWND> documents(HWND client) {
  std::vector<HWND> list;
  if (Window* w = findWindow(client))
    for (HWND h : w->children)
      if (Window* c = findWindow(h); c && !c->destroying && (c->exStyle & WS_EX_MDICHILD)) list.push_back(h);
  return list;
}

HWND liveActive(HWND client, MdiClient* data) {
  if (data->active && (!findWindow(data->active) || findWindow(data->active)->destroying)) data->active = nullptr;
  (void)client;
  return data->active;
}

void activate(HWND client, HWND child) {
  MdiClient* data = clientData(client);
  if (!data) return;
  HWND previous = liveActive(client, data);
  if (previous == child) return;
  // A maximized document hands its maximized state on to the next one.
  const bool keepMaximized = data->maximized && child;
  if (previous && keepMaximized) ShowWindow(previous, SW_RESTORE);
  data = clientData(client);
  if (!data) return;
  data->active = child;
  if (previous) SendMessageA(previous, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), reinterpret_cast<LPARAM>(child));
  if (child && findWindow(child)) {
    if (Window* c = findWindow(child)) c->zOrder = pl::nextZOrder();
    if (keepMaximized) ShowWindow(child, SW_SHOWMAXIMIZED);
    SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), reinterpret_cast<LPARAM>(child));
    if (findWindow(child) && GetActiveWindow() == pl::topLevelOf(client)) SetFocus(child);
  }
  if (MdiClient* d = clientData(client); d && !child) d->maximized = false;
}

HWND createChild(HWND client, const MDICREATESTRUCTA* request) {
  MdiClient* data = clientData(client);
  if (!data || !request) return nullptr;
  Window* cw = findWindow(client);
  DWORD style = request->style | WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE;
  if (!(cw->style & MDIS_ALLCHILDSTYLES))
    style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  const bool maximize = (style & WS_MAXIMIZE) || data->maximized;
  style &= ~static_cast<DWORD>(WS_MAXIMIZE | WS_VISIBLE);
  const LONG width = cw->client.right - cw->client.left;
  const LONG height = cw->client.bottom - cw->client.top;
  int x = request->x, y = request->y, cx = request->cx, cy = request->cy;
  if (x == CW_USEDEFAULT) x = y = 0;
  if (cx == CW_USEDEFAULT) {
    cx = width * 3 / 4;
    cy = height * 3 / 4;
  }
  const UINT id = data->firstChild + static_cast<UINT>(documents(client).size());
  // The child's creation parameter is the request itself, as programs expect.
  HWND child = CreateWindowExA(WS_EX_MDICHILD, request->szClass, request->szTitle, style, x, y, cx, cy, client,
                               reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)),
                               reinterpret_cast<HINSTANCE>(request->hOwner), const_cast<MDICREATESTRUCTA*>(request));
  if (!child) return nullptr;
  ShowWindow(child, maximize ? SW_SHOWMAXIMIZED : SW_SHOW);
  if (!findWindow(child)) return nullptr;
  if (MdiClient* d = clientData(client); d && maximize) d->maximized = true;
  activate(client, child);
  return findWindow(child) ? child : nullptr;
}

void destroyChild(HWND client, HWND child) {
  MdiClient* data = clientData(client);
  Window* c = findWindow(child);
  if (!data || !c || c->parent != client) return;
  if (liveActive(client, data) == child) {
    std::vector<HWND> rest = documents(client);
    std::erase(rest, child);
    const bool wasMaximized = data->maximized;
    activate(client, rest.empty() ? nullptr : rest.back());
    if (MdiClient* d = clientData(client); d && rest.empty()) d->maximized = false;
    else if (d) d->maximized = wasMaximized;
  }
  DestroyWindow(child);
  // Renumber so that the ids stay contiguous.
  if (MdiClient* d = clientData(client)) {
    UINT id = d->firstChild;
    for (HWND h : documents(client))
      if (Window* w = findWindow(h)) w->id = static_cast<LONG_PTR>(id++);
  }
}

}  // namespace

namespace pl {

LRESULT CALLBACK mdiClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      auto data = std::make_unique<MdiClient>();
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpCreateParams) {
        const auto* ccs = static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams);
        data->windowMenu = ccs->hWindowMenu;
        data->firstChild = ccs->idFirstChild;
      }
      if (Window* w = findWindow(hwnd)) w->control = std::move(data);
      return 0;
    }
    case WM_MDICREATE:
      return reinterpret_cast<LRESULT>(createChild(hwnd, reinterpret_cast<const MDICREATESTRUCTA*>(lParam)));
    case WM_MDIDESTROY:
      destroyChild(hwnd, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_MDIACTIVATE: {
      HWND child = reinterpret_cast<HWND>(wParam);
      if (Window* c = findWindow(child); c && c->parent == hwnd) activate(hwnd, child);
      return 0;
    }
    case WM_MDIGETACTIVE: {
      MdiClient* data = clientData(hwnd);
      HWND active = data ? liveActive(hwnd, data) : nullptr;
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = active && data->maximized ? TRUE : FALSE;
      return reinterpret_cast<LRESULT>(active);
    }
    case WM_MDINEXT: {
      MdiClient* data = clientData(hwnd);
      std::vector<HWND> list = documents(hwnd);
      if (!data || list.size() < 2) return 0;
      HWND from = wParam ? reinterpret_cast<HWND>(wParam) : liveActive(hwnd, data);
      auto it = std::find(list.begin(), list.end(), from);
      if (it == list.end()) return 0;
      const size_t at = static_cast<size_t>(it - list.begin());
      const size_t next = lParam ? (at + list.size() - 1) % list.size() : (at + 1) % list.size();
      activate(hwnd, list[next]);
      return 0;
    }
    case WM_MDIMAXIMIZE:
    case WM_MDIRESTORE: {
      HWND child = reinterpret_cast<HWND>(wParam);
      Window* c = findWindow(child);
      if (!c || c->parent != hwnd) return 0;
      ShowWindow(child, msg == WM_MDIMAXIMIZE ? SW_SHOWMAXIMIZED : SW_RESTORE);
      if (MdiClient* data = clientData(hwnd); data && liveActive(hwnd, data) == child)
        data->maximized = msg == WM_MDIMAXIMIZE;
      return 0;
    }
    case WM_MDISETMENU: {
      MdiClient* data = clientData(hwnd);
      if (data && lParam) data->windowMenu = reinterpret_cast<HANDLE>(lParam);
      return 0;
    }
    case WM_MDITILE:
    case WM_MDICASCADE:
    case WM_MDIICONARRANGE:
      return TRUE;
    case WM_SIZE: {
      // A maximized document keeps filling the client.
      MdiClient* data = clientData(hwnd);
      if (data && data->maximized && liveActive(hwnd, data))
        MoveWindow(data->active, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    }
    case WM_SETFOCUS: {
      MdiClient* data = clientData(hwnd);
      if (data && liveActive(hwnd, data)) SetFocus(data->active);
      return 0;
    }
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace pl

extern "C" LRESULT WINAPI DefFrameProcA(HWND hWnd, HWND hWndMDIClient, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  MdiClient* data = clientData(hWndMDIClient);
  switch (uMsg) {
    case WM_COMMAND:
      // Only a window menu's document list makes command ids name children.
      if (data && data->windowMenu && HIWORD(wParam) == 0) {
        const UINT id = LOWORD(wParam);
        for (HWND h : documents(hWndMDIClient)) {
          if (Window* c = findWindow(h); c && static_cast<UINT>(c->id) == id) {
            SendMessageA(hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(h), 0);
            return 0;
          }
        }
      }
      return 0;
    case WM_SIZE:
      if (data) MoveWindow(hWndMDIClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_SETFOCUS:
      if (data) {
        SetFocus(hWndMDIClient);
        return 0;
      }
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    default:
      return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
}

extern "C" LRESULT WINAPI DefMDIChildProcA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  Window* w = findWindow(hWnd);
  HWND client = w ? w->parent : nullptr;
  switch (uMsg) {
    case WM_CLOSE:
      if (clientData(client)) {
        SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hWnd), 0);
        return 0;
      }
      break;
    case WM_CHILDACTIVATE:
      if (clientData(client)) SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hWnd), 0);
      return 0;
    case WM_SYSCOMMAND:
      if (clientData(client)) {
        switch (wParam & 0xFFF0) {
          case SC_MAXIMIZE: SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(hWnd), 0); return 0;
          case SC_RESTORE: SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(hWnd), 0); return 0;
          case SC_NEXTWINDOW: SendMessageA(client, WM_MDINEXT, reinterpret_cast<WPARAM>(hWnd), 0); return 0;
          default: break;
        }
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
