// Cursors and icons: the system shapes as fixed handles, the shape shown
// last with SetCursor, and the cursor position (which queued mouse input and
// SetCursorPos move). Headless, nothing is drawn.
#include "layer.h"

#include <platform_test.h>

#include <algorithm>

namespace {

HCURSOR shown = nullptr;
POINT position{0, 0};

// Handles of system shapes: a fixed base plus the resource number, so that
// two loads of one shape answer the same handle.
constexpr uintptr_t kCursorBase = 0x40000000;
constexpr uintptr_t kIconBase = 0x50000000;

bool isSystemCursor(uintptr_t id) {
  return (id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32646) || id == 32648 || id == 32650;
}

}  // namespace

namespace pl {
POINT cursorPosition() { return position; }
void setCursorPosition(POINT point) {
  position.x = std::clamp<LONG>(point.x, 0, screenWidth() - 1);
  position.y = std::clamp<LONG>(point.y, 0, screenHeight() - 1);
}
void resetCursor() {
  shown = nullptr;
  position = POINT{0, 0};
}
}  // namespace pl

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  const auto id = reinterpret_cast<uintptr_t>(lpCursorName);
  // Only the system shapes exist; the program has no cursor resources.
  if (hInstance || !isSystemCursor(id)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HCURSOR>(kCursorBase + id);
}

extern "C" HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  const auto id = reinterpret_cast<uintptr_t>(lpIconName);
  // System icons, and the program's own icons by number.
  if (id > 0xFFFF || id == 0 || (!hInstance && (id < 32512 || id > 32516)) ||
      (hInstance && !pl::isProgramModule(reinterpret_cast<HMODULE>(hInstance)))) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HICON>(kIconBase + (hInstance ? 0x10000 : 0) + id);
}

extern "C" HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
  HCURSOR previous = shown;
  shown = hCursor;
  return previous;
}

extern "C" HCURSOR WINAPI GetCursor(void) { return shown; }

extern "C" BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  pl::mouseStateRead();
  *lpPoint = position;
  return TRUE;
}

extern "C" BOOL WINAPI SetCursorPos(int X, int Y) {
  pl::setCursorPosition(POINT{X, Y});
  return TRUE;
}

HCURSOR plTestCurrentCursor() { return shown; }
