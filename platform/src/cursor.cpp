// Cursors and icons: the system shapes as fixed handles, cursors made from
// masks (CreateCursor) as numbered handles keeping their hot spot and image,
// the shape shown last with SetCursor, and the cursor position (which queued
// mouse input and SetCursorPos move). Headless, nothing is drawn.
#include "layer.h"

#include <platform_test.h>

#include <algorithm>
#include <cstring>
#include <map>

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

// Made cursors: a base plus a serial that is never reused, so that a handle
// kept after its cursor was destroyed (or after a reset) names nothing.
constexpr uintptr_t kMadeBase = 0x60000000;
uintptr_t madeSerial = 0;

struct MadeCursor {
  int hotX, hotY, width, height;
  std::vector<uint8_t> andMask, xorMask;
};
std::map<uintptr_t, MadeCursor> made;

bool isSystemHandle(HCURSOR cursor) {
  const auto value = reinterpret_cast<uintptr_t>(cursor);
  return value > kCursorBase && isSystemCursor(value - kCursorBase);
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
  made.clear();
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

extern "C" HCURSOR WINAPI CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int nWidth, int nHeight,
                                       LPCVOID pvANDPlane, LPCVOID pvXORPlane) {
  if (nWidth <= 0 || nHeight <= 0 || nWidth > 256 || nHeight > 256 || !pvANDPlane || !pvXORPlane) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // One bit a pixel, each row padded to a 16-bit boundary.
  const size_t bytes = size_t((nWidth + 15) / 16 * 2) * size_t(nHeight);
  MadeCursor cursor{xHotSpot, yHotSpot, nWidth, nHeight, std::vector<uint8_t>(bytes), std::vector<uint8_t>(bytes)};
  std::memcpy(cursor.andMask.data(), pvANDPlane, bytes);
  std::memcpy(cursor.xorMask.data(), pvXORPlane, bytes);
  const uintptr_t handle = kMadeBase + ++madeSerial;
  made.emplace(handle, std::move(cursor));
  return reinterpret_cast<HCURSOR>(handle);
}

extern "C" BOOL WINAPI DestroyCursor(HCURSOR hCursor) {
  // The system shapes are shared: destroying one changes nothing.
  if (isSystemHandle(hCursor)) return TRUE;
  if (made.erase(reinterpret_cast<uintptr_t>(hCursor)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (shown == hCursor) shown = nullptr;
  return TRUE;
}

HCURSOR plTestShownCursor(PlCursorInfo* info) {
  if (!info) return shown;
  *info = PlCursorInfo{};
  info->handle = shown;
  if (isSystemHandle(shown)) {
    info->system = true;
    return shown;
  }
  const auto found = made.find(reinterpret_cast<uintptr_t>(shown));
  if (found != made.end()) {
    const MadeCursor& c = found->second;
    info->hotX = c.hotX;
    info->hotY = c.hotY;
    info->width = c.width;
    info->height = c.height;
    info->andMask = c.andMask;
    info->xorMask = c.xorMask;
  }
  return shown;
}

size_t plTestLiveCursors() { return made.size(); }
