#include "window_table.h"

#include "classes.h"
#include "layer.h"

#include <algorithm>
#include <unordered_map>

namespace {

std::unordered_map<uintptr_t, std::unique_ptr<pl::Window>> windows;

// Handle values are even, start above the small integers and stay below
// 2^31, so that one survives a round trip through a 32-bit LONG.
constexpr uintptr_t kFirstHandle = 0x10000;
constexpr uintptr_t kLastHandle = 0x7FFFFFFE;
uintptr_t nextHandle = kFirstHandle;  // never reset: handles are not reused

}  // namespace

namespace pl {

Window* findWindow(HWND handle) {
  auto found = windows.find(reinterpret_cast<uintptr_t>(handle));
  return found == windows.end() ? nullptr : found->second.get();
}

Window* addWindow(std::unique_ptr<Window> window) {
  if (nextHandle > kLastHandle) return nullptr;
  uintptr_t value = nextHandle;
  nextHandle += 2;
  window->handle = reinterpret_cast<HWND>(value);
  Window* raw = window.get();
  windows.emplace(value, std::move(window));
  return raw;
}

void removeWindow(HWND handle) { windows.erase(reinterpret_cast<uintptr_t>(handle)); }

std::vector<HWND> ownedWindows(HWND owner) {
  std::vector<HWND> list;
  for (auto& [value, w] : windows)
    if (w->owner == owner) list.push_back(w->handle);
  // Oldest first: handle values grow with creation.
  std::sort(list.begin(), list.end(),
            [](HWND a, HWND b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); });
  return list;
}

std::vector<HWND> topLevelWindows() {
  std::vector<Window*> list;
  for (auto& [value, w] : windows)
    if (!(w->style & WS_CHILD) && !w->parent) list.push_back(w.get());
  std::sort(list.begin(), list.end(), [](Window* a, Window* b) { return a->zOrder > b->zOrder; });
  std::vector<HWND> handles;
  for (Window* w : list) handles.push_back(w->handle);
  return handles;
}

std::vector<HWND> allWindows() {
  std::vector<HWND> list;
  for (auto& [value, w] : windows) list.push_back(w->handle);
  std::sort(list.begin(), list.end(),
            [](HWND a, HWND b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); });
  return list;
}

unsigned long nextZOrder() {
  static unsigned long counter = 0;
  return ++counter;
}

HWND topLevelOf(HWND window) {
  Window* w = findWindow(window);
  while (w && (w->style & WS_CHILD) && findWindow(w->parent)) w = findWindow(w->parent);
  return w ? w->handle : nullptr;
}

POINT clientOrigin(HWND window) {
  POINT origin{0, 0};
  for (Window* w = findWindow(window); w; w = findWindow(w->parent)) {
    origin.x += w->client.left;
    origin.y += w->client.top;
  }
  return origin;
}

POINT windowOrigin(HWND window) {
  Window* w = findWindow(window);
  if (!w) return POINT{0, 0};
  POINT origin = w->parent ? clientOrigin(w->parent) : POINT{0, 0};
  origin.x += w->rect.left;
  origin.y += w->rect.top;
  return origin;
}

bool hasNonClientArea(const Window* w) {
  return w->client.left != w->rect.left || w->client.top != w->rect.top || w->client.right != w->rect.right ||
         w->client.bottom != w->rect.bottom;
}

RECT clientArea(const Window* w) { return RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top}; }

void updateClientRect(HWND window) {
  Window* w = findWindow(window);
  if (!w) return;
  RECT r = w->rect;
  SendMessageA(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
  w = findWindow(window);
  if (!w) return;
  // A client rectangle never reaches outside the window or turns inside out.
  const RECT outer = w->rect;
  r.left = std::clamp(r.left, outer.left, outer.right);
  r.top = std::clamp(r.top, outer.top, outer.bottom);
  r.right = std::clamp(r.right, r.left, outer.right);
  r.bottom = std::clamp(r.bottom, r.top, outer.bottom);
  w->client = r;
}

bool classHasWindows(ATOM atom) {
  for (auto& [value, w] : windows)
    if (w->classAtom == atom) return true;
  return false;
}

void resetWindows() {
  // Freed without messages; the handle counter goes on, so handles from
  // before the reset stay invalid.
  windows.clear();
  resetClasses();
}

}  // namespace pl
