// Window messages of sheet windows (message 220): the native message made
// into a view-layer event and handed to the sheet-window event dispatcher.
#include "views/sheet.h"
#include "views/sheet_internal.h"

#include <windows.h>

namespace {

sheetEventDispatch dispatcher = nullptr;

bool isMouse(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

int32_t kindOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return vwEvkActivate;
    case WM_SIZE: return vwEvkSize;
    case WM_ACTIVATE: return LOWORD(wParam) != WA_INACTIVE ? vwEvkActivate : vwEvkDeactivate;
    case WM_MDIACTIVATE: return reinterpret_cast<HWND>(lParam) == window ? vwEvkActivate : vwEvkDeactivate;
    case WM_PAINT: return vwEvkPaint;
    case WM_QUERYENDSESSION: return vwEvkEndSession;
    case WM_TIMER: return vwEvkReturn;
    case WM_KEYDOWN:
      if (wParam == VK_SHIFT || wParam == VK_CONTROL || wParam == VK_MENU) return vwEvkNone;
      [[fallthrough]];
    case WM_CHAR: return wParam == 10 || wParam == 13 ? vwEvkReturn : vwEvkKey;
    case WM_MOUSEMOVE: return vwEvkMouseMove;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return vwEvkButtonDown;
    case WM_LBUTTONUP: return vwEvkButtonUp;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return vwEvkRightDown;
    case WM_RBUTTONUP: return vwEvkRightUp;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: return vwEvkMiddleDown;
    case WM_MBUTTONUP: return vwEvkMiddleUp;
    default: return vwEvkNone;
  }
}

uint32_t modifierState(UINT message, WPARAM wParam) {
  if (isMouse(message))
    return ((wParam & MK_SHIFT) ? uint32_t{vwModShift} : 0u) | ((wParam & MK_CONTROL) ? uint32_t{vwModControl} : 0u);
  return (GetKeyState(VK_SHIFT) < 0 ? uint32_t{vwModShift} : 0u) |
         (GetKeyState(VK_CONTROL) < 0 ? uint32_t{vwModControl} : 0u);
}

}  // namespace

void evFromMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam, vwEventRec* out) {
  *out = vwEventRec{};
  out->kind = kindOf(window, message, wParam, lParam);
  out->modifiers = modifierState(message, wParam);
  if (isMouse(message)) {
    // Client coordinates as signed 16-bit words: left of or above the
    // window they are negative.
    out->where.x = int16_t(LOWORD(lParam));
    out->where.y = int16_t(HIWORD(lParam));
  } else {
    GetCursorPos(&out->where);
    if (window) ScreenToClient(window, &out->where);
  }
  if ((message == WM_KEYDOWN || message == WM_CHAR) && out->kind != vwEvkNone) {
    out->key = uint32_t(wParam);
    uint32_t flagged = uint32_t(wParam);
    if (message == WM_KEYDOWN) flagged |= vwKeyVirtual;
    if (out->modifiers & vwModShift) flagged |= vwKeyShift;
    if (out->modifiers & vwModControl) flagged |= vwKeyControl;
    if (lParam & (1L << 29)) flagged |= vwKeyAlt;
    out->keyFlagged = flagged;
  }
}

void sheetSetEventDispatch(sheetEventDispatch dispatch) { dispatcher = dispatch; }

int sheetWindowMessage(sheetRec* sheet, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  vwEventRec event;
  evFromMsg(sheetHwnd(sheet), message, WPARAM(wParam), LPARAM(lParam), &event);
  return dispatcher ? dispatcher(sheet, &event) : 0;
}
